// A small VST 2 host of our own: loads any Linux VST 2 plug-in library the
// way a host does, answers its callback requests and records them, and
// drives the effect through its AEffect record. Used by the tests and the
// command-line tools.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "shell/Vst2Interface.h"

namespace ka813::vsthost {

struct LoadOptions {
    intptr_t versionAnswer = 2400;  // answer to audioMasterVersion
    float sampleRate = 44100.f;     // answer to audioMasterGetSampleRate
    intptr_t blockSize = 1024;      // answer to audioMasterGetBlockSize
    bool sendOpen = true;           // send effOpen after creation, as hosts do
    bool unloadLibrary = true;      // dlclose on destruction
    // Keep a log of the plug-in's requests. Long renders turn it off: a
    // plug-in that asks for the time every block would grow it without end.
    bool recordRequests = true;
};

// One request the plug-in made through the host callback.
struct CallbackRecord {
    AEffect* effect = nullptr;  // the record the request came with (null from the entry)
    int32_t opcode = 0;
    int32_t index = 0;
    intptr_t value = 0;
    std::string text;  // the text behind ptr for string requests (canDo), else empty
    bool hasPtr = false;
    float opt = 0.f;
};

class Plugin {
public:
    // Loads the library, calls its entry (VSTPluginMain, else main) and checks
    // the record. Returns null with a reason in *error on failure.
    static std::unique_ptr<Plugin> load(const std::string& path, std::string* error = nullptr,
                                        const LoadOptions& options = LoadOptions());
    ~Plugin();  // effClose, then dlclose

    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    AEffect* effect() const { return effect_; }
    const std::string& path() const { return path_; }
    const std::string& entryName() const { return entryName_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0,
                      void* ptr = nullptr, float opt = 0.f);
    void setParameter(int32_t index, float value);
    float getParameter(int32_t index);
    void processReplacing(float** inputs, float** outputs, int32_t frames);
    void process(float** inputs, float** outputs, int32_t frames);

    // String queries through the dispatcher, each into a zeroed buffer
    // far larger than the interface's bound.
    std::string effectName();
    std::string vendorString();
    std::string productString();
    std::string parameterName(int32_t index);
    std::string parameterLabel(int32_t index);
    std::string parameterDisplay(int32_t index);
    std::string programName();
    // Empty with *ok false when the plug-in does not answer the indexed query.
    std::string programNameIndexed(int32_t index, bool* ok = nullptr);

    // The usual host sequence around processing: rate and block size while
    // suspended, then power on and start; and the reverse.
    void setSampleRateAndBlockSize(float sampleRate, int32_t blockSize);
    void resume();
    void suspend();

    // Processes one block the way the plug-in offers: replacing, or
    // accumulating into outputs the host cleared.
    void processBlock(float** inputs, float** outputs, int32_t frames);

    // The index of the parameter the plug-in names so, or -1.
    int32_t parameterIndex(const std::string& name);

    // The plug-in's state chunk (one program or the bank), copied out; empty
    // when it gives none.
    std::vector<uint8_t> chunk(bool program);
    // Hands the bytes to the plug-in; true when it accepts them.
    bool setChunk(const std::vector<uint8_t>& bytes, bool program);

    // Callback log, in the order the requests arrived.
    std::vector<CallbackRecord> log() const;
    void clearLog();
    std::vector<CallbackRecord> requests(int32_t opcode) const;

    // Answers the host gives; everything not set answers 0.
    void setCanDoAnswer(const std::string& text, intptr_t answer);
    void setSizeWindowAnswer(intptr_t answer);
    void setAnswer(int32_t opcode, intptr_t answer);

    // Called by the host callback; public so the callback can reach it.
    intptr_t handleCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt);

private:
    Plugin() = default;
    std::string queryString(int32_t opcode, int32_t index = 0);

    void* library_ = nullptr;
    AEffect* effect_ = nullptr;
    std::string path_;
    std::string entryName_;
    LoadOptions options_;

    mutable std::mutex mutex_;
    std::vector<CallbackRecord> log_;
    std::map<std::string, intptr_t> canDoAnswers_;
    std::map<int32_t, intptr_t> answers_;
};

// Four characters packed most significant first ("LQCS" for 0x4C514353),
// non-printable bytes shown as '.'.
std::string fourCharacters(int32_t id);

}  // namespace ka813::vsthost
