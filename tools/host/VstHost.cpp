#include "tools/host/VstHost.h"

#include <dlfcn.h>

#include <cstring>

namespace ka813::vsthost {

namespace {

// The callback carries only the record, so plug-ins are found through a
// registry. During the entry call there is no record yet (or it is not
// registered): the plug-in being loaded on this thread answers.
std::mutex registryMutex;
std::map<AEffect*, Plugin*>& registry()
{
    static std::map<AEffect*, Plugin*> plugins;
    return plugins;
}
thread_local Plugin* loadingPlugin = nullptr;

Plugin* findPlugin(AEffect* effect)
{
    if (effect) {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto found = registry().find(effect);
        if (found != registry().end())
            return found->second;
    }
    return loadingPlugin;
}

intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                      float opt)
{
    Plugin* plugin = findPlugin(effect);
    if (!plugin) {
        // A request from an effect we no longer know: answer only the version.
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    return plugin->handleCallback(effect, opcode, index, value, ptr, opt);
}

// Requests whose ptr is a NUL-terminated text the host reads.
bool ptrIsInputText(int32_t opcode)
{
    return opcode == audioMasterCanDo;
}

constexpr size_t kStringBufferSize = 512;

}  // namespace

std::unique_ptr<Plugin> Plugin::load(const std::string& path, std::string* error,
                                     const LoadOptions& options)
{
    auto fail = [error](const std::string& reason) {
        if (error)
            *error = reason;
        return std::unique_ptr<Plugin>();
    };

    std::unique_ptr<Plugin> plugin(new Plugin());
    plugin->path_ = path;
    plugin->options_ = options;

    dlerror();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        return fail(std::string("cannot load ") + path + ": " + (reason ? reason : "unknown error"));
    }
    plugin->library_ = library;

    auto entry = reinterpret_cast<VstPluginMainProc>(dlsym(library, "VSTPluginMain"));
    plugin->entryName_ = "VSTPluginMain";
    if (!entry) {
        entry = reinterpret_cast<VstPluginMainProc>(dlsym(library, "main"));
        plugin->entryName_ = "main";
    }
    if (!entry)
        return fail(path + " exports neither VSTPluginMain nor main");

    loadingPlugin = plugin.get();
    AEffect* effect = entry(hostCallback);
    loadingPlugin = nullptr;
    if (!effect)
        return fail(path + ": the entry returned no effect");
    if (effect->magic != kEffectMagic)
        return fail(path + ": the entry returned a record without the effect magic");

    plugin->effect_ = effect;
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        registry()[effect] = plugin.get();
    }
    if (options.sendOpen)
        plugin->dispatch(effOpen);
    return plugin;
}

Plugin::~Plugin()
{
    if (effect_) {
        dispatch(effClose);
        std::lock_guard<std::mutex> lock(registryMutex);
        registry().erase(effect_);
    }
    if (library_ && options_.unloadLibrary)
        dlclose(library_);
}

intptr_t Plugin::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (!effect_ || !effect_->dispatcher)
        return 0;
    // The plug-in may ask the host for things from inside any of its calls,
    // before it has been registered; route those to us.
    Plugin* previous = loadingPlugin;
    loadingPlugin = this;
    intptr_t result = effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    loadingPlugin = previous;
    return result;
}

void Plugin::setParameter(int32_t index, float value)
{
    if (effect_ && effect_->setParameter)
        effect_->setParameter(effect_, index, value);
}

float Plugin::getParameter(int32_t index)
{
    if (effect_ && effect_->getParameter)
        return effect_->getParameter(effect_, index);
    return 0.f;
}

void Plugin::processReplacing(float** inputs, float** outputs, int32_t frames)
{
    if (effect_ && effect_->processReplacing)
        effect_->processReplacing(effect_, inputs, outputs, frames);
}

void Plugin::process(float** inputs, float** outputs, int32_t frames)
{
    if (effect_ && effect_->process)
        effect_->process(effect_, inputs, outputs, frames);
}

void Plugin::setSampleRateAndBlockSize(float sampleRate, int32_t blockSize)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        options_.sampleRate = sampleRate;
        options_.blockSize = blockSize;
    }
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
}

void Plugin::resume()
{
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
}

void Plugin::suspend()
{
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
}

void Plugin::processBlock(float** inputs, float** outputs, int32_t frames)
{
    if (!effect_)
        return;
    if ((effect_->flags & effFlagsCanReplacing) && effect_->processReplacing) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
        return;
    }
    for (int32_t channel = 0; channel < effect_->numOutputs; ++channel)
        std::memset(outputs[channel], 0, sizeof(float) * static_cast<size_t>(frames > 0 ? frames : 0));
    process(inputs, outputs, frames);
}

int32_t Plugin::parameterIndex(const std::string& name)
{
    if (!effect_)
        return -1;
    for (int32_t i = 0; i < effect_->numParams; ++i)
        if (parameterName(i) == name)
            return i;
    return -1;
}

std::vector<uint8_t> Plugin::chunk(bool program)
{
    void* data = nullptr;
    intptr_t size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (!data || size <= 0)
        return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

bool Plugin::setChunk(const std::vector<uint8_t>& bytes, bool program)
{
    // The plug-in may keep the pointer only for the call; it gets its own copy.
    std::vector<uint8_t> copy(bytes);
    return dispatch(effSetChunk, program ? 1 : 0, static_cast<intptr_t>(copy.size()),
                    copy.empty() ? nullptr : copy.data()) != 0;
}

std::string Plugin::queryString(int32_t opcode, int32_t index)
{
    char buffer[kStringBufferSize] = {};
    dispatch(opcode, index, 0, buffer, 0.f);
    buffer[kStringBufferSize - 1] = 0;
    return buffer;
}

std::string Plugin::effectName()
{
    return queryString(effGetEffectName);
}

std::string Plugin::vendorString()
{
    return queryString(effGetVendorString);
}

std::string Plugin::productString()
{
    return queryString(effGetProductString);
}

std::string Plugin::parameterName(int32_t index)
{
    return queryString(effGetParamName, index);
}

std::string Plugin::parameterLabel(int32_t index)
{
    return queryString(effGetParamLabel, index);
}

std::string Plugin::parameterDisplay(int32_t index)
{
    return queryString(effGetParamDisplay, index);
}

std::string Plugin::programName()
{
    return queryString(effGetProgramName);
}

std::string Plugin::programNameIndexed(int32_t index, bool* ok)
{
    char buffer[kStringBufferSize] = {};
    intptr_t answer = dispatch(effGetProgramNameIndexed, index, 0, buffer, 0.f);
    buffer[kStringBufferSize - 1] = 0;
    if (ok)
        *ok = answer != 0;
    return buffer;
}

std::vector<CallbackRecord> Plugin::log() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

void Plugin::clearLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

std::vector<CallbackRecord> Plugin::requests(int32_t opcode) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<CallbackRecord> matching;
    for (const CallbackRecord& record : log_)
        if (record.opcode == opcode)
            matching.push_back(record);
    return matching;
}

void Plugin::setCanDoAnswer(const std::string& text, intptr_t answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    canDoAnswers_[text] = answer;
}

void Plugin::setSizeWindowAnswer(intptr_t answer)
{
    setAnswer(audioMasterSizeWindow, answer);
}

void Plugin::setAnswer(int32_t opcode, intptr_t answer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[opcode] = answer;
}

intptr_t Plugin::handleCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                void* ptr, float opt)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string text;
    if (ptr && ptrIsInputText(opcode))
        text.assign(static_cast<const char*>(ptr), strnlen(static_cast<const char*>(ptr), kStringBufferSize));
    if (options_.recordRequests) {
        CallbackRecord record;
        record.effect = effect;
        record.opcode = opcode;
        record.index = index;
        record.value = value;
        record.text = text;
        record.hasPtr = ptr != nullptr;
        record.opt = opt;
        log_.push_back(record);
    }

    auto set = answers_.find(opcode);
    if (set != answers_.end())
        return set->second;

    switch (opcode) {
    case audioMasterVersion:
        return options_.versionAnswer;
    case audioMasterCanDo: {
        auto found = canDoAnswers_.find(text);
        return found != canDoAnswers_.end() ? found->second : 0;
    }
    case audioMasterGetSampleRate:
        return static_cast<intptr_t>(options_.sampleRate);
    case audioMasterGetBlockSize:
        return options_.blockSize;
    case audioMasterCurrentId:
        return effect_ ? effect_->uniqueID : 0;
    default:
        return 0;
    }
}

std::string fourCharacters(int32_t id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = static_cast<unsigned char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return text;
}

}  // namespace ka813::vsthost
