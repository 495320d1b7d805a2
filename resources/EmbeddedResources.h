// The panel images, compiled into the library so that it needs no files at
// run time. Numbered as in resources.list.
#pragma once

struct EmbeddedResource {
    const unsigned char* data;
    unsigned long size;
};

// Finds resource `id`; false, leaving `out` untouched, when there is none.
bool findEmbeddedResource(int id, EmbeddedResource* out);
