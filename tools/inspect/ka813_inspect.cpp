// Prints what a host learns about a VST 2 plug-in library: identity, flags,
// channel counts, parameters with their displays, and the program names.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "tools/host/VstHost.h"

using namespace ka813;

namespace {

const char* categoryName(intptr_t category)
{
    static const char* const names[] = {"unknown",   "effect",    "synth",   "analysis",
                                        "mastering", "spacializer", "room fx", "surround fx",
                                        "restoration", "offline", "shell",   "generator"};
    if (category >= 0 && category < static_cast<intptr_t>(sizeof names / sizeof names[0]))
        return names[category];
    return "?";
}

std::string flagNames(int32_t flags)
{
    static const struct {
        int32_t bit;
        const char* name;
    } known[] = {{effFlagsHasEditor, "HasEditor"},
                 {effFlagsHasClip, "HasClip"},
                 {effFlagsHasVu, "HasVu"},
                 {effFlagsCanMono, "CanMono"},
                 {effFlagsCanReplacing, "CanReplacing"},
                 {effFlagsProgramChunks, "ProgramChunks"},
                 {effFlagsIsSynth, "IsSynth"},
                 {effFlagsNoSoundInStop, "NoSoundInStop"},
                 {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
    std::string text;
    int32_t rest = flags;
    for (const auto& flag : known) {
        if (flags & flag.bit) {
            text += text.empty() ? "" : " ";
            text += flag.name;
            rest &= ~flag.bit;
        }
    }
    if (rest) {
        char extra[32];
        std::snprintf(extra, sizeof extra, "%s0x%X", text.empty() ? "" : " ", static_cast<unsigned>(rest));
        text += extra;
    }
    return text.empty() ? "none" : text;
}

const char* requestName(int32_t opcode)
{
    switch (opcode) {
    case audioMasterAutomate: return "Automate";
    case audioMasterVersion: return "Version";
    case audioMasterCurrentId: return "CurrentId";
    case audioMasterIdle: return "Idle";
    case audioMasterWantMidi: return "WantMidi";
    case audioMasterGetTime: return "GetTime";
    case audioMasterIOChanged: return "IOChanged";
    case audioMasterSizeWindow: return "SizeWindow";
    case audioMasterGetSampleRate: return "GetSampleRate";
    case audioMasterGetBlockSize: return "GetBlockSize";
    case audioMasterGetCurrentProcessLevel: return "GetCurrentProcessLevel";
    case audioMasterGetVendorString: return "GetVendorString";
    case audioMasterGetProductString: return "GetProductString";
    case audioMasterGetVendorVersion: return "GetVendorVersion";
    case audioMasterCanDo: return "CanDo";
    case audioMasterUpdateDisplay: return "UpdateDisplay";
    case audioMasterBeginEdit: return "BeginEdit";
    case audioMasterEndEdit: return "EndEdit";
    default: return nullptr;
    }
}

int inspect(const std::string& path)
{
    std::string error;
    std::unique_ptr<vsthost::Plugin> plugin = vsthost::Plugin::load(path, &error);
    if (!plugin) {
        std::fprintf(stderr, "ka813-inspect: %s\n", error.c_str());
        return 1;
    }
    AEffect* effect = plugin->effect();

    std::printf("Plug-in:         %s\n", path.c_str());
    std::printf("Entry:           %s\n", plugin->entryName().c_str());
    std::printf("Effect name:     %s\n", plugin->effectName().c_str());
    std::printf("Product:         %s\n", plugin->productString().c_str());
    std::printf("Vendor:          %s\n", plugin->vendorString().c_str());
    std::printf("Vendor version:  %ld\n", static_cast<long>(plugin->dispatch(effGetVendorVersion)));
    std::printf("VST version:     %ld\n", static_cast<long>(plugin->dispatch(effGetVstVersion)));
    std::printf("Unique ID:       %d (0x%08X, '%s')\n", effect->uniqueID,
                static_cast<unsigned>(effect->uniqueID), vsthost::fourCharacters(effect->uniqueID).c_str());
    std::printf("Record version:  %d\n", effect->version);
    intptr_t category = plugin->dispatch(effGetPlugCategory);
    std::printf("Category:        %ld (%s)\n", static_cast<long>(category), categoryName(category));
    std::printf("Flags:           0x%X (%s)\n", static_cast<unsigned>(effect->flags),
                flagNames(effect->flags).c_str());
    std::printf("Inputs:          %d\n", effect->numInputs);
    std::printf("Outputs:         %d\n", effect->numOutputs);
    std::printf("Initial delay:   %d\n", effect->initialDelay);
    std::printf("Tail size:       %ld\n", static_cast<long>(plugin->dispatch(effGetTailSize)));

    std::printf("Parameters:      %d\n", effect->numParams);
    for (int32_t i = 0; i < effect->numParams; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "  %3d  %-24s %-10s %s", i, plugin->parameterName(i).c_str(),
                      plugin->parameterDisplay(i).c_str(), plugin->parameterLabel(i).c_str());
        std::string text = line;
        text.erase(text.find_last_not_of(' ') + 1);
        std::printf("%s\n", text.c_str());
    }

    std::printf("Programs:        %d\n", effect->numPrograms);
    intptr_t current = plugin->dispatch(effGetProgram);
    bool switched = false;
    for (int32_t i = 0; i < effect->numPrograms; ++i) {
        bool indexed = false;
        std::string name = plugin->programNameIndexed(i, &indexed);
        if (!indexed) {
            // Not every plug-in answers the indexed query: select and ask.
            plugin->dispatch(effSetProgram, 0, i);
            name = plugin->programName();
            switched = true;
        }
        std::printf("  %3d%s%s\n", i, name.empty() ? "" : "  ", name.c_str());
    }
    if (switched)
        plugin->dispatch(effSetProgram, 0, current);

    std::map<int32_t, int> counts;
    for (const vsthost::CallbackRecord& request : plugin->log())
        ++counts[request.opcode];
    std::printf("Host requests:  ");
    if (counts.empty())
        std::printf(" none");
    for (const auto& entry : counts) {
        const char* name = requestName(entry.first);
        if (name)
            std::printf(" %s x%d", name, entry.second);
        else
            std::printf(" #%d x%d", entry.first, entry.second);
    }
    std::printf("\n");
    return 0;
}

const char kUsage[] = "Usage: ka813-inspect PLUGIN.so [PLUGIN.so ...]\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (!std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
        std::printf("%s", kUsage);
        std::printf("Loads each VST 2 plug-in library as a host does and prints what the host\n"
                    "learns: entry point, effect name, product and vendor, versions, unique ID,\n"
                    "category, flags, inputs and outputs, every parameter with its display,\n"
                    "the programs, and the requests the plug-in made of the host.\n"
                    "\n"
                    "  -h, --help     this text\n"
                    "      --version  the version\n"
                    "\n"
                    "The exit status is 1 when a library cannot be loaded as a plug-in.\n");
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("ka813-inspect %s\n", KA813_VERSION);
        return 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            std::printf("\n");
        std::fflush(stdout);
        if (inspect(argv[i]) != 0)
            status = 1;
        std::fflush(stdout);
    }
    return status;
}
