// What the host's audio thread calls waits for nothing: hosts of its own
// marks its audio thread and counts every lock, allocation and blocking
// system call made from it inside setParameter, getParameter,
// getParameterDisplay and processReplacing, while another thread loads
// programs and chunks, copies chunks and opens the editor. The library is
// loaded as a host loads it; the counters replace the C library's entries
// for the whole process, the plug-in's calls included.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <lv2/core/lv2.h>

#include "lv2/Ports.h"
#include "shell/Vst2Interface.h"
#include "tests/shell/PluginPath.h"

using namespace ka813::test;

namespace {

// Inside one of the effect's calls on the marked thread, outside the host's
// own callback.
thread_local bool counting = false;
std::atomic<long> waits{0};
std::atomic<long> lastKind{0};

enum Kind : long { kLock = 1, kAllocation, kSystemCall, kWrite, kSleep };

void noteCall(Kind kind)
{
    if (counting) {
        waits.fetch_add(1, std::memory_order_relaxed);
        lastKind.store(kind, std::memory_order_relaxed);
    }
}

// The real entries, found before any thread starts.
template <class F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
using LockFn = int (*)(pthread_mutex_t*);
using SyscallFn = long (*)(long, long, long, long, long, long, long);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using NanosleepFn = int (*)(const timespec*, timespec*);
using YieldFn = int (*)();
LockFn realLock = nullptr;
SyscallFn realSyscall = nullptr;
WriteFn realWrite = nullptr;
NanosleepFn realNanosleep = nullptr;
YieldFn realYield = nullptr;

}  // namespace

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);

void* malloc(size_t size)
{
    noteCall(kAllocation);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    noteCall(kAllocation);
    return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size)
{
    noteCall(kAllocation);
    return __libc_realloc(p, size);
}
void free(void* p)
{
    if (p)
        noteCall(kAllocation);
    __libc_free(p);
}
int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    noteCall(kLock);
    if (!realLock)
        realLock = real<LockFn>("pthread_mutex_lock");
    return realLock(mutex);
}
long syscall(long number, ...)
{
    noteCall(kSystemCall);
    va_list arguments;
    va_start(arguments, number);
    long a[6];
    for (long& argument : a)
        argument = va_arg(arguments, long);
    va_end(arguments);
    return realSyscall(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}
ssize_t write(int fd, const void* data, size_t size)
{
    noteCall(kWrite);
    return realWrite(fd, data, size);
}
int nanosleep(const timespec* request, timespec* remaining)
{
    noteCall(kSleep);
    return realNanosleep(request, remaining);
}
int sched_yield()
{
    noteCall(kSleep);
    return realYield();
}
}

namespace {

// The host's callback is the host's code: not counted.
intptr_t host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    const bool was = counting;
    counting = false;
    const intptr_t answer = opcode == audioMasterVersion ? 2400 : 0;
    counting = was;
    return answer;
}

struct Counted {
    Counted() { counting = true; }
    ~Counted() { counting = false; }
};

intptr_t call(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
              void* ptr = nullptr, float opt = 0.f)
{
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

// The editor opened, idled and closed in a window of its own, while told to.
void cycleEditor(AEffect* e, const std::atomic<bool>& stop)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 720,
                                                280, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    for (int round = 0; !stop && round < 20; ++round) {
        call(e, effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
        call(e, effEditIdle);
        call(e, effEditClose);
    }
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

}  // namespace

TEST(RealtimeHost, TheAudioThreadNeitherLocksNorAllocatesNorSleeps)
{
    realSyscall = real<SyscallFn>("syscall");
    realWrite = real<WriteFn>("write");
    realNanosleep = real<NanosleepFn>("nanosleep");
    realYield = real<YieldFn>("sched_yield");
    realLock = real<LockFn>("pthread_mutex_lock");
    ASSERT_TRUE(realSyscall && realWrite && realNanosleep && realYield && realLock);

    // The counters see what they are meant to.
    {
        Counted counted;
        free(malloc(16));
        pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
        pthread_mutex_lock(&mutex);
        pthread_mutex_unlock(&mutex);
    }
    ASSERT_EQ(waits.exchange(0), 3);

    void* library = dlopen(pluginPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library) << dlerror();
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    ASSERT_TRUE(entry);
    AEffect* e = entry(host);
    ASSERT_TRUE(e);
    call(e, effOpen);
    call(e, effSetSampleRate, 0, 0, nullptr, 48000.f);
    call(e, effMainsChanged, 0, 1);

    std::atomic<bool> stop{false};
    std::atomic<long> loads{0};
    std::thread userInterface([&] {
        std::thread editor([&] { cycleEditor(e, stop); });
        for (int32_t round = 0; !stop; ++round) {
            call(e, effSetProgram, 0, round % 10);
            void* data = nullptr;
            const intptr_t size = call(e, effGetChunk, round % 2, 0, &data);
            std::vector<unsigned char> copy(static_cast<unsigned char*>(data),
                                            static_cast<unsigned char*>(data) + size);
            call(e, effSetChunk, round % 2, size, copy.data());
            char name[32] = "Riff";
            call(e, effSetProgramName, 0, 0, name);
            loads.fetch_add(1);
        }
        editor.join();
    });

    std::vector<float> left(256), right(256), outL(256), outR(256);
    for (size_t n = 0; n < left.size(); ++n)
        left[n] = right[n] = static_cast<float>(0.3 * std::sin(0.05 * static_cast<double>(n)));
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outL.data(), outR.data()};
    uint32_t seed = 813;
    for (int block = 0; block < 3000 || loads.load() < 50; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t index = static_cast<int32_t>(seed >> 8) % 23;
        const float value = static_cast<float>((seed >> 4) % 3) / 2.f;
        char text[16];
        {
            Counted counted;
            e->setParameter(e, index, value);
            (void)e->getParameter(e, index);
            call(e, effGetParamDisplay, index, 0, text);
            e->processReplacing(e, inputs, outputs, 256);
        }
        if (block > 20000)
            break;
    }
    stop = true;
    userInterface.join();
    EXPECT_EQ(waits.load(), 0) << "last kind " << lastKind.load();
    EXPECT_GE(loads.load(), 50);

    call(e, effMainsChanged, 0, 0);
    call(e, effClose);
    dlclose(library);
}

// The LV2 plug-in's run, with every control moving between blocks and the
// bypass switching: nothing there locks, allocates or calls the system either.
TEST(RealtimeHost, TheLv2RunNeitherLocksNorAllocatesNorSleeps)
{
    realSyscall = real<SyscallFn>("syscall");
    realWrite = real<WriteFn>("write");
    realNanosleep = real<NanosleepFn>("nanosleep");
    realYield = real<YieldFn>("sched_yield");
    void* library = dlopen(KA813_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(library) << dlerror();
    auto entry = reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2_descriptor"));
    ASSERT_TRUE(entry);
    const LV2_Descriptor* descriptor = entry(0);
    ASSERT_TRUE(descriptor);
    const LV2_Feature* const features[] = {nullptr};
    LV2_Handle plugin = descriptor->instantiate(descriptor, 48000.0, KA813_LV2_BUNDLE, features);
    ASSERT_TRUE(plugin);
    using namespace ka813::lv2;
    std::vector<float> left(512), right(512), outLeft(512), outRight(512);
    for (size_t n = 0; n < left.size(); ++n)
        left[n] = right[n] = static_cast<float>(0.3 * std::sin(0.05 * static_cast<double>(n)));
    std::vector<float> controls(kNumPorts, 0.5f);
    descriptor->connect_port(plugin, kInputLeft, left.data());
    descriptor->connect_port(plugin, kInputRight, right.data());
    descriptor->connect_port(plugin, kOutputLeft, outLeft.data());
    descriptor->connect_port(plugin, kOutputRight, outRight.data());
    for (uint32_t port = kFirstGlobalPort; port < kNumPorts; ++port)
        descriptor->connect_port(plugin, port, &controls[port]);
    descriptor->activate(plugin);
    uint32_t seed = 813;
    for (int block = 0; block < 2000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        controls[kFirstGlobalPort + (seed >> 8) % kNumControlPorts] = static_cast<float>((seed >> 4) % 3) / 2.f;
        // Bypassed and back, through whole fades.
        if (block % 50 == 0)
            controls[kEnabledPort] = controls[kEnabledPort] >= 0.5f ? 0.f : 1.f;
        Counted counted;
        descriptor->run(plugin, 1 + (seed >> 12) % 512);
    }
    EXPECT_EQ(waits.load(), 0) << "last kind " << lastKind.load();
    descriptor->deactivate(plugin);
    descriptor->cleanup(plugin);
    dlclose(library);
}
