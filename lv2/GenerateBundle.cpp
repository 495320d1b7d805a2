// Writes the bundle's Turtle files from the parameter table, the port layout
// and the preset table, so that names, ranges, defaults, groups and presets
// cannot drift from the code:
//   ka813-lv2-ttl BUNDLE_DIR
// writes BUNDLE_DIR/manifest.ttl, ka813.ttl (plug-in and UI) and presets.ttl.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "dsp/LevelMeter.h"
#include "lv2/Latency.h"
#include "lv2/Presets.h"
#include "shell/Identity.h"

using namespace ka813;
using namespace ka813::lv2;

namespace {

const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "\n";

// A float as a Turtle decimal that reads back as the same float.
std::string decimal(float value)
{
    char text[64];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*f", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value)
            break;
    }
    return text;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string groupUri(const char* symbol)
{
    return std::string("<") + kPluginUri + "#" + symbol + ">";
}

// A mode control's name: the table's name without its channel prefix.
std::string controlName(int32_t parameter)
{
    std::string name = parameterInfo(parameter)->name;
    if (name.rfind("CHA ", 0) == 0 || name.rfind("CHB ", 0) == 0)
        name = name.substr(4);
    return name;
}

void controlPort(std::ostream& out, uint32_t index, const std::string& symbol, const std::string& name,
                 int32_t parameter, const char* group)
{
    const ParameterInfo& info = *parameterInfo(parameter);
    const float defaultValue = portDefault(index);
    out << "  [\n"
        << "    a lv2:InputPort, lv2:ControlPort ;\n"
        << "    lv2:index " << index << " ;\n"
        << "    lv2:symbol " << quoted(symbol) << " ;\n"
        << "    lv2:name " << quoted(name) << " ;\n"
        << "    pg:group " << groupUri(group) << " ;\n";
    if (info.kind == ParameterKind::Switch) {
        out << "    lv2:portProperty lv2:integer, lv2:toggled ;\n"
            << "    lv2:default " << (switchIsOn(defaultValue) ? 1 : 0) << " ;\n"
            << "    lv2:minimum 0 ;\n"
            << "    lv2:maximum 1 ;\n"
            << "    lv2:scalePoint [ rdfs:label " << quoted(info.offLabel) << " ; rdf:value 0 ] ,\n"
            << "      [ rdfs:label " << quoted(info.onLabel) << " ; rdf:value 1 ]\n";
    } else {
        if (defaultValue != info.defaultValue)
            out << "    rdfs:comment \"Starts at the level that puts its mode, at its defaults, at -18 LUFS "
                   "on the built-in riff; the VST 2 effect keeps its own default.\" ;\n";
        out << "    lv2:default " << decimal(defaultValue) << " ;\n"
            << "    lv2:minimum 0.0 ;\n"
            << "    lv2:maximum 1.0\n";
    }
    out << "  ]";
}

void audioPort(std::ostream& out, uint32_t index, bool input, bool left)
{
    out << "  [\n"
        << "    a lv2:AudioPort, " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
        << "    lv2:index " << index << " ;\n"
        << "    lv2:symbol \"" << (input ? "in_" : "out_") << (left ? "left" : "right") << "\" ;\n"
        << "    lv2:name \"" << (input ? "In " : "Out ") << (left ? "Left" : "Right") << "\" ;\n"
        << "    pg:group " << groupUri(input ? "in" : "out") << " ;\n"
        << "    lv2:designation " << (left ? "pg:left" : "pg:right") << "\n"
        << "  ]";
}

// A level output, which hosts show as a meter.
void levelPort(std::ostream& out, uint32_t index, const char* symbol, const char* name, const char* comment)
{
    out << " ,\n"
        << "  [\n"
        << "    a lv2:OutputPort, lv2:ControlPort ;\n"
        << "    lv2:index " << index << " ;\n"
        << "    lv2:symbol " << quoted(symbol) << " ;\n"
        << "    lv2:name " << quoted(name) << " ;\n"
        << "    rdfs:comment " << quoted(comment) << " ;\n"
        << "    units:unit units:db ;\n"
        << "    lv2:minimum " << LevelMeter::kFloorDb << " ;\n"
        << "    lv2:maximum " << LevelMeter::kCeilingDb << "\n"
        << "  ]";
}

std::string pluginTtl()
{
    std::ostringstream out;
    out << kPrefixes;
    // The UI, built from lv2/ui: an X11 panel embedded in the host's window,
    // its X events handled in the idle interface.
    out << "<" << kUiUri << ">\n"
        << "  a ui:X11UI ;\n"
        << "  ui:binary <ka813_ui.so> ;\n"
        << "  lv2:requiredFeature ui:idleInterface ;\n"
        << "  lv2:optionalFeature ui:parent, ui:resize, ui:touch, opts:options ;\n"
        << "  lv2:extensionData ui:idleInterface ;\n"
        // The level lights follow the two level outputs.
        << "  ui:portNotification [\n"
        << "    ui:plugin <" << kPluginUri << "> ;\n"
        << "    lv2:symbol " << quoted(kInputLevelSymbol) << " ;\n"
        << "    ui:protocol ui:floatProtocol\n"
        << "  ] , [\n"
        << "    ui:plugin <" << kPluginUri << "> ;\n"
        << "    lv2:symbol " << quoted(kOutputLevelSymbol) << " ;\n"
        << "    ui:protocol ui:floatProtocol\n"
        << "  ] .\n\n";

    out << groupUri("in") << "\n  a pg:StereoGroup, pg:InputGroup ;\n  lv2:symbol \"in\" ;\n"
        << "  rdfs:label \"Input\" .\n\n";
    out << groupUri("out") << "\n  a pg:StereoGroup, pg:OutputGroup ;\n  lv2:symbol \"out\" ;\n"
        << "  rdfs:label \"Output\" ;\n  pg:source " << groupUri("in") << " .\n\n";
    out << groupUri("switches") << "\n  a pg:Group ;\n  lv2:symbol \"switches\" ;\n"
        << "  rdfs:label \"Switches\" .\n\n";
    for (const ModeInfo& mode : kModeMap.modes)
        out << groupUri(mode.symbol) << "\n  a pg:Group ;\n  lv2:symbol " << quoted(mode.symbol)
            << " ;\n  rdfs:label " << quoted(mode.name) << " .\n\n";

    out << "<" << kPluginUri << ">\n"
        << "  a lv2:Plugin, lv2:AmplifierPlugin, doap:Project ;\n"
        << "  doap:name " << quoted(kEffectName) << " ;\n"
        << "  doap:license <http://opensource.org/licenses/mit> ;\n"
        << "  doap:maintainer [ foaf:name " << quoted(kVendorString) << " ] ;\n"
        << "  rdfs:comment \"A two-channel valve guitar preamplifier: four modes (A Clean, A Crunch, "
           "B Low Gain, B High Gain), each with its own controls. Each mode's Volume starts at the level that "
           "puts the mode, at its defaults, at -18 LUFS like the factory presets.\" ;\n"
        << "  lv2:minorVersion 0 ;\n"
        << "  lv2:microVersion 0 ;\n"
        << "  lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "  ui:ui <" << kUiUri << "> ;\n"
        << "  pg:mainInput " << groupUri("in") << " ;\n"
        << "  pg:mainOutput " << groupUri("out") << " ;\n"
        << "  lv2:port\n";
    audioPort(out, kInputLeft, true, true);
    out << " ,\n";
    audioPort(out, kInputRight, true, false);
    out << " ,\n";
    audioPort(out, kOutputLeft, false, true);
    out << " ,\n";
    audioPort(out, kOutputRight, false, false);
    for (uint32_t g = 0; g < kNumGlobalPorts; ++g) {
        out << " ,\n";
        controlPort(out, kFirstGlobalPort + g, kGlobalSymbols[g], parameterInfo(kGlobalParameters[g])->name,
                    kGlobalParameters[g], "switches");
    }
    for (int32_t m = 0; m < kNumAmpModes; ++m)
        for (int32_t c = 0; c < kNumModeControls; ++c) {
            const AmpMode mode = static_cast<AmpMode>(m);
            out << " ,\n";
            controlPort(out, modePort(mode, c), controlSymbol(modePort(mode, c)),
                        std::string(kModeMap.modes[m].name) + " " + controlName(modeParameter(mode, c)),
                        modeParameter(mode, c), kModeMap.modes[m].symbol);
        }
    out << " ,\n"
        << "  [\n"
        << "    a lv2:OutputPort, lv2:ControlPort ;\n"
        << "    lv2:index " << kLatencyPort << " ;\n"
        << "    lv2:symbol " << quoted(kLatencySymbol) << " ;\n"
        << "    lv2:name \"Latency\" ;\n"
        << "    lv2:designation lv2:latency ;\n"
        << "    lv2:portProperty lv2:reportsLatency, lv2:integer, pprops:notOnGUI ;\n"
        << "    units:unit units:frame ;\n"
        << "    lv2:minimum 0 ;\n"
        << "    lv2:maximum " << kMostLatencyFrames << "\n"
        << "  ] ,\n"
        << "  [\n"
        << "    a lv2:InputPort, lv2:ControlPort ;\n"
        << "    lv2:index " << kEnabledPort << " ;\n"
        << "    lv2:symbol " << quoted(kEnabledSymbol) << " ;\n"
        << "    lv2:name \"Enabled\" ;\n"
        << "    rdfs:comment \"Off bypasses the amplifier: a 20 ms cross-fade to the input delayed by the latency.\" ;\n"
        << "    lv2:designation lv2:enabled ;\n"
        << "    lv2:portProperty lv2:integer, lv2:toggled ;\n"
        << "    lv2:default 1 ;\n"
        << "    lv2:minimum 0 ;\n"
        << "    lv2:maximum 1\n"
        << "  ]";
    levelPort(out, kInputLevelPort, kInputLevelSymbol, "Input Level",
              "The peak level arriving, before Input: held for a second, then falling 20 dB in 1.7 s.");
    levelPort(out, kOutputLevelPort, kOutputLevelSymbol, "Output Level",
              "The peak level leaving, after Volume: held for a second, then falling 20 dB in 1.7 s.");
    out << " .\n";
    return out.str();
}

std::string presetsTtl()
{
    std::ostringstream out;
    out << kPrefixes;
    for (uint32_t p = 0; p < kNumPresets; ++p) {
        const Preset& preset = kPresets[p];
        ControlValues controls;
        presetControls(preset, controls);
        out << "<" << presetUri(preset) << ">\n"
            << "  a pset:Preset ;\n"
            << "  lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "  rdfs:label " << quoted(preset.label) << " ;\n"
            << "  lv2:port";
        for (uint32_t i = 0; i < kNumControlPorts; ++i) {
            const std::string symbol = controlSymbol(kFirstGlobalPort + i);
            out << (i == 0 ? " " : " ,\n    ") << "[ lv2:symbol " << quoted(symbol) << " ; pset:value "
                << decimal(controls[i]) << " ]";
        }
        out << " .\n\n";
    }
    return out.str();
}

std::string manifestTtl()
{
    std::ostringstream out;
    out << kPrefixes;
    out << "<" << kPluginUri << ">\n  a lv2:Plugin ;\n  lv2:binary <ka813.so> ;\n"
        << "  rdfs:seeAlso <ka813.ttl> .\n\n";
    out << "<" << kUiUri << ">\n  a ui:X11UI ;\n  ui:binary <ka813_ui.so> ;\n"
        << "  rdfs:seeAlso <ka813.ttl> .\n\n";
    for (uint32_t p = 0; p < kNumPresets; ++p)
        out << "<" << presetUri(kPresets[p]) << ">\n  a pset:Preset ;\n  lv2:appliesTo <" << kPluginUri
            << "> ;\n  rdfs:seeAlso <presets.ttl> .\n\n";
    return out.str();
}

bool write(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "ka813-lv2-ttl: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: ka813-lv2-ttl BUNDLE_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    return write(dir + "/manifest.ttl", manifestTtl()) && write(dir + "/ka813.ttl", pluginTtl())
                   && write(dir + "/presets.ttl", presetsTtl())
               ? 0
               : 1;
}
