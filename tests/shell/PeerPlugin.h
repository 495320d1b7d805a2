// A peer plug-in from Debian's packages (zam-plugins) that exports only
// "main", for the tests that check our host library on more than our own.
#pragma once

#include <elf.h>

#include <fstream>

namespace ka813::test {

constexpr const char* kPeerPlugin = "/usr/lib/vst/ZamTube-vst.so";

// Whether the peer is installed for the processor the test runs on: a test
// built for arm64 and run under an emulator sees the build machine's x86-64
// peer, which no arm64 host can load.
inline bool peerIsInstalled()
{
    std::ifstream file(kPeerPlugin, std::ios::binary);
    Elf64_Ehdr header{};
    if (!file.read(reinterpret_cast<char*>(&header), sizeof header))
        return false;
#if defined(__aarch64__)
    return header.e_machine == EM_AARCH64;
#else
    return header.e_machine == EM_X86_64;
#endif
}

}  // namespace ka813::test
