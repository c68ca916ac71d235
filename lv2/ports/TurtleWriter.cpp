#include "lv2/ports/TurtleWriter.h"

#include <charconv>
#include <cstdio>

#include "effect/signal/FactoryPresetTable.h"
#include "effect/signal/Latency.h"
#include "effect/signal/ParameterMapping.h"
#include "lv2/ports/PortTable.h"
#include "lv2/ports/Uris.h"

namespace tavola::lv2 {
namespace {

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string uri(const char* text) {
  return std::string("<") + text + ">";
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void audioPort(std::string& out, unsigned index, bool input, const char* symbol, const char* name) {
  out += "  lv2:port [\n";
  out +=
      std::string("    a lv2:AudioPort, ") + (input ? "lv2:InputPort" : "lv2:OutputPort") + " ;\n";
  out += "    lv2:index " + std::to_string(index) + " ;\n";
  out += std::string("    lv2:symbol \"") + symbol + "\" ;\n";
  out += std::string("    lv2:name \"") + name + "\"\n  ] ;\n";
}

void controlPort(std::string& out, const ControlPort& control) {
  out += "  lv2:port [\n";
  out += "    a lv2:InputPort, lv2:ControlPort ;\n";
  out += "    lv2:index " + std::to_string(portIndexOf(control)) + " ;\n";
  out += std::string("    lv2:symbol \"") + control.symbol + "\" ;\n";
  out += "    lv2:name " + quoted(parameterName(control.parameter)) + " ;\n";
  out += "    lv2:default " + turtleNumber(defaultValue(control)) + " ;\n";
  out += "    lv2:minimum " + turtleNumber(minimumValue(control)) + " ;\n";
  out += "    lv2:maximum " + turtleNumber(maximumValue(control)) + " ;\n";
  switch (control.kind) {
    case PortKind::kToggle:
      out += "    lv2:portProperty lv2:toggled ;\n";
      break;
    case PortKind::kFrequency:
      out += "    lv2:portProperty lv2:enumeration ;\n";
      break;
    case PortKind::kLevel:
    case PortKind::kBandGain:
      out += "    pprops:rangeSteps " + std::to_string(stepCount(control)) + " ;\n";
      break;
  }
  if (*unitName(control)) out += std::string("    units:unit units:") + unitName(control) + " ;\n";
  for (int step = 0; step < stepCount(control); ++step) {
    out += step == 0 ? "    lv2:scalePoint " : ",\n                   ";
    out += "[ rdfs:label " + quoted(stepLabel(control, step)) + " ; rdf:value " +
           turtleNumber(stepValue(control, step)) + " ]";
  }
  out += "\n  ] ;\n";
}

void latencyPort(std::string& out) {
  out += "  lv2:port [\n";
  out += "    a lv2:OutputPort, lv2:ControlPort ;\n";
  out += "    lv2:index " + std::to_string(kLatencyPort) + " ;\n";
  out += "    lv2:symbol \"latency\" ;\n";
  out += "    lv2:name \"Latency\" ;\n";
  out += "    lv2:portProperty lv2:reportsLatency, lv2:integer, pprops:notOnGUI ;\n";
  out += "    units:unit units:frame ;\n";
  out += "    lv2:minimum 0 ;\n";
  out += "    lv2:maximum " + std::to_string(latencySamples(1e12)) + "\n  ] .\n";
}

}  // namespace

std::string turtleNumber(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  std::string number(text, result.ptr);
  if (number.find_first_of(".eE") == std::string::npos) number += ".0";
  return number;
}

std::string presetUri(int preset) {
  std::string slug;
  for (const char* c = factoryPresetValues(preset).name; *c; ++c) {
    if (*c >= 'A' && *c <= 'Z')
      slug += static_cast<char>(*c - 'A' + 'a');
    else if ((*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9'))
      slug += *c;
    else
      slug += '-';
  }
  return std::string(kPresetUriPrefix) + std::to_string(preset + 1) + "-" + slug;
}

std::string manifestTurtle() {
  std::string out = kPrefixes;
  out += uri(kPluginUri) + "\n  a lv2:Plugin ;\n  lv2:binary <" + kBinaryName +
         "> ;\n  rdfs:seeAlso <Tavola.ttl> .\n\n";
  out += uri(kPanelUri) + "\n  a ui:X11UI ;\n  lv2:binary <" + kBinaryName +
         "> ;\n  rdfs:seeAlso <Tavola.ttl> .\n";
  for (int preset = 0; preset < kNumFactoryPresets; ++preset) {
    out += "\n<" + presetUri(preset) + ">\n  a pset:Preset ;\n  lv2:appliesTo " + uri(kPluginUri) +
           " ;\n  rdfs:seeAlso <presets.ttl> .\n";
  }
  return out;
}

std::string pluginTurtle() {
  std::string out = kPrefixes;
  out += uri(kPluginUri) + "\n";
  out += "  a lv2:Plugin, lv2:EQPlugin ;\n";
  out += "  doap:name \"ZEB Tavola\" ;\n";
  out += "  doap:license <http://opensource.org/licenses/MIT> ;\n";
  out +=
      "  rdfs:comment \"Classic program equaliser: three bands, a low cut and a saturator.\" ;\n";
  out += "  doap:maintainer [ foaf:name \"www.tavola.audio\" ] ;\n";
  out += "  lv2:minorVersion 8 ;\n  lv2:microVersion 0 ;\n";
  out += "  lv2:optionalFeature lv2:hardRTCapable, urid:map ;\n";
  out += "  lv2:extensionData state:interface ;\n";
  out += "  ui:ui " + uri(kPanelUri) + " ;\n";
  audioPort(out, kInputLeft, true, "in_l", "Left in");
  audioPort(out, kInputRight, true, "in_r", "Right in");
  audioPort(out, kOutputLeft, false, "out_l", "Left out");
  audioPort(out, kOutputRight, false, "out_r", "Right out");
  for (const ControlPort& control : controlPorts()) controlPort(out, control);
  latencyPort(out);
  out += "\n" + uri(kPanelUri) + "\n";
  out += "  a ui:X11UI ;\n";
  out += "  lv2:requiredFeature <http://lv2plug.in/ns/ext/instance-access>, ui:idleInterface ;\n";
  out += "  lv2:optionalFeature ui:parent, ui:resize, ui:touch ;\n";
  out += "  lv2:extensionData ui:idleInterface, ui:showInterface .\n";
  return out;
}

std::string presetsTurtle() {
  std::string out = kPrefixes;
  for (int preset = 0; preset < kNumFactoryPresets; ++preset) {
    const FactoryPresetValues& values = factoryPresetValues(preset);
    out += "<" + presetUri(preset) + ">\n  a pset:Preset ;\n  lv2:appliesTo " + uri(kPluginUri) +
           " ;\n  rdfs:label " + quoted(values.name) + " ;\n";
    bool first = true;
    for (const ControlPort& control : controlPorts()) {
      const double value =
          stepValue(control, stepOfNormalised(control, values.values[control.parameter]));
      out += first ? "  lv2:port " : ",\n           ";
      out += std::string("[ lv2:symbol \"") + control.symbol + "\" ; pset:value " +
             turtleNumber(value) + " ]";
      first = false;
    }
    out += " .\n\n";
  }
  return out;
}

}  // namespace tavola::lv2
