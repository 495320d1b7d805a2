#include "tools/render/RenderOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace ka813::render {

namespace {

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool parseFloat(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == 0 && std::isfinite(value);
}

bool parseInteger(const std::string& text, long& value)
{
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-'))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end && *end == 0;
}

}  // namespace

std::string renderUsage()
{
    return "Usage: ka813-render [options] [PLUGIN.so]\n"
           "Renders a sound file, or a built-in guitar riff, through a VST 2 effect the way a\n"
           "host does, and tells what it did. Without PLUGIN.so it loads Ka813.\n"
           "\n"
           "  -i, --input FILE         sound file to play (mono feeds every input);\n"
           "                           default: a ten-second guitar riff\n"
           "  -o, --output FILE        WAV file to write (default render.wav)\n"
           "      --save-input FILE    also write the signal the plug-in was given\n"
           "      --format F           float (default), pcm24 or pcm16\n"
           "      --program N          select program N first\n"
           "      --set NAME=VALUE     set a parameter by its name, e.g. \"CHA Drive=0.8\"\n"
           "      --set INDEX=VALUE    or by its index; repeat for more\n"
           "      --rate HZ            host sample rate (default: the file's, else 44100)\n"
           "      --block N            frames per process call (default 512)\n"
           "      --seconds S          play only the first S seconds of the input\n"
           "      --load-chunk FILE    hand the plug-in this state chunk before rendering\n"
           "      --save-chunk FILE    write the plug-in's state chunk after the settings\n"
           "      --bank               the chunks are the whole bank (default)\n"
           "      --program-chunk      the chunks are the current program only\n"
           "      --modes              render each amplifier mode (A clean, A crunch,\n"
           "                           B low gain, B high gain) into its own file, named\n"
           "                           after the output with -a-clean, -a-crunch, ...\n"
           "  -h, --help               this text\n"
           "      --version            the version\n"
           "\n"
           "Every file it is to write is checked before it renders. With --format pcm24\n"
           "or pcm16 it tells how many samples clipped at full scale and the peak.\n";
}

bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options,
                        std::string* error)
{
    options = RenderOptions();
    bool pluginNamed = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::string value;
        bool hasInlineValue = false;
        if (argument.rfind("--", 0) == 0) {
            size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
                argument = argument.substr(0, equals);
                hasInlineValue = true;
            }
        }
        // Takes the option's value from "--name=value" or the next argument.
        auto takeValue = [&](std::string& out) {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= arguments.size())
                return fail(error, argument + " needs a value");
            out = arguments[++i];
            return true;
        };
        auto noValue = [&]() {
            return hasInlineValue ? fail(error, argument + " takes no value") : true;
        };

        std::string text;
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            if (!noValue())
                return false;
            options.version = true;
        } else if (argument == "-i" || argument == "--input") {
            if (!takeValue(options.inputPath))
                return false;
        } else if (argument == "-o" || argument == "--output") {
            if (!takeValue(options.outputPath))
                return false;
            if (options.outputPath.empty())
                return fail(error, "the output needs a file name");
        } else if (argument == "--save-input") {
            if (!takeValue(options.saveInputPath))
                return false;
        } else if (argument == "--format") {
            if (!takeValue(text))
                return false;
            if (text == "float")
                options.format = SampleFormat::Float32;
            else if (text == "pcm24")
                options.format = SampleFormat::Pcm24;
            else if (text == "pcm16")
                options.format = SampleFormat::Pcm16;
            else
                return fail(error, "unknown format \"" + text + "\" (float, pcm24 or pcm16)");
        } else if (argument == "--program") {
            long number = 0;
            if (!takeValue(text))
                return false;
            if (!parseInteger(text, number) || number < 0 || number > 1000000)
                return fail(error, "--program needs a program number, not \"" + text + "\"");
            options.program = static_cast<int32_t>(number);
        } else if (argument == "--set") {
            if (!takeValue(text))
                return false;
            ParameterSetting setting;
            if (!vsthost::parseParameterSetting(text, setting, error))
                return false;
            options.settings.push_back(setting);
        } else if (argument == "--rate") {
            double rate = 0.0;
            if (!takeValue(text))
                return false;
            if (!parseFloat(text, rate) || rate < 8000.0 || rate > 768000.0)
                return fail(error, "--rate needs a sample rate from 8000 to 768000 Hz, not \"" + text + "\"");
            options.sampleRate = rate;
        } else if (argument == "--block") {
            long frames = 0;
            if (!takeValue(text))
                return false;
            if (!parseInteger(text, frames) || frames < 1 || frames > 65536)
                return fail(error, "--block needs 1 to 65536 frames, not \"" + text + "\"");
            options.blockSize = static_cast<int32_t>(frames);
        } else if (argument == "--seconds") {
            double seconds = 0.0;
            if (!takeValue(text))
                return false;
            if (!parseFloat(text, seconds) || !(seconds > 0.0) || seconds > 86400.0)
                return fail(error, "--seconds needs a length above 0 and up to 86400, not \"" + text + "\"");
            options.seconds = seconds;
        } else if (argument == "--load-chunk") {
            if (!takeValue(options.loadChunkPath))
                return false;
        } else if (argument == "--save-chunk") {
            if (!takeValue(options.saveChunkPath))
                return false;
        } else if (argument == "--bank") {
            if (!noValue())
                return false;
            options.chunkKind = ChunkKind::Bank;
        } else if (argument == "--program-chunk") {
            if (!noValue())
                return false;
            options.chunkKind = ChunkKind::Program;
        } else if (argument == "--modes") {
            if (!noValue())
                return false;
            options.modes = true;
        } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
            return fail(error, "unknown option " + argument);
        } else {
            if (pluginNamed)
                return fail(error, "one plug-in at a time (\"" + options.pluginPath + "\" and \"" +
                                       argument + "\")");
            options.pluginPath = argument;
            pluginNamed = true;
        }
    }
    return true;
}

std::string pathWithSuffix(const std::string& path, const std::string& suffix, const std::string& extension)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return path + suffix + extension;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

}  // namespace ka813::render
