// What the shared object offers the dynamic linker: a DAW finds the effect by the entry
// point's name, and nothing else of ours may be visible, or two plug-ins built from the
// same classes would bind to each other's code.

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/LoadedPlugin.h"

namespace tavola::plugintest {
namespace {

struct DynamicSymbol {
  char type;
  std::string name;
};

// The defined symbols of the dynamic symbol table, as nm reports them.
bool readDynamicSymbols(const std::string& path, std::vector<DynamicSymbol>& symbols) {
  const std::string command = "nm -D --defined-only '" + path + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string value, type, name;
    if (!(fields >> value >> type >> name) || type.size() != 1) {
      pclose(pipe);
      return false;
    }
    symbols.push_back({type[0], name});
  }
  return pclose(pipe) == 0;
}

std::string demangled(const std::string& name) {
  int status = 0;
  char* text = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  if (status != 0 || !text) return name;
  std::string result(text);
  std::free(text);
  return result;
}

// Symbols that every shared object defines for the linker's and loader's bookkeeping.
bool isLinkerSymbol(const DynamicSymbol& symbol) {
  static const std::set<std::string> names = {"_init", "_fini",         "__bss_start", "_edata",
                                              "_end",  "__bss_start__", "__bss_end__", "__end__"};
  // Version definitions appear as absolute symbols named after the version node.
  return names.count(symbol.name) != 0 || symbol.type == 'A';
}

// A weak or unique instantiation of a standard library template or inline variable over
// standard types only: the compiler emits these with default visibility, and they are
// the C++ runtime's, not ours. Instantiations over our own types are hidden with them.
bool isStandardLibraryInstance(const DynamicSymbol& symbol) {
  if (symbol.type != 'W' && symbol.type != 'V' && symbol.type != 'u') return false;
  const std::string text = demangled(symbol.name);
  for (const char* prefix :
       {"std::", "__gnu_cxx::", "vtable for std::", "typeinfo for std::", "typeinfo name for std::",
        "guard variable for std::", "VTT for std::", "construction vtable for std::"})
    if (text.rfind(prefix, 0) == 0) return true;
  return false;
}

TEST(PluginExports, OnlyTheEntryPointsAreExported) {
  std::vector<DynamicSymbol> symbols;
  ASSERT_TRUE(readDynamicSymbols(pluginPath(), symbols)) << "nm failed on " << pluginPath();
  ASSERT_FALSE(symbols.empty());

  std::map<std::string, char> ours;
  for (const DynamicSymbol& symbol : symbols) {
    if (isLinkerSymbol(symbol) || isStandardLibraryInstance(symbol)) continue;
    ours[symbol.name] = symbol.type;
  }
  const std::map<std::string, char> expected = {{"VSTPluginMain", 'T'}, {"main", 'T'}};
  EXPECT_EQ(ours, expected) << "the dynamic symbol table must offer the two entry points as "
                               "functions and nothing else of ours";
}

TEST(PluginExports, BothEntryPointsCreateAWorkingEffect) {
  const PluginLibrary& library = pluginLibrary();
  ASSERT_TRUE(library.loaded()) << library.error();
  EXPECT_EQ(library.entryName(), "VSTPluginMain");
  EXPECT_TRUE(library.error().empty());

  // Older Linux hosts look for "main" only; what they get must be the same effect.
  HostOptions viaMain;
  viaMain.entryPoint = reinterpret_cast<VstPluginEntry>(library.symbol("main"));
  ASSERT_NE(viaMain.entryPoint, nullptr);
  for (const HostOptions& options : {HostOptions{}, viaMain}) {
    std::unique_ptr<HostedEffect> effect = makeEffect(options);
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->aeffect()->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueId(), fourCharCode('K', 'W', 'T', 'V'));
    EXPECT_EQ(effect->effectName(), "ZEB Tavola");
  }

  // Internal names must not be reachable by dlsym either.
  EXPECT_EQ(library.symbol("createEffectInstance"), nullptr);
  EXPECT_EQ(library.symbol("vstPluginMainLegacy"), nullptr);
}

TEST(PluginExports, LoadFailuresAreReportedNotFatal) {
  const PluginLibrary missing("/nonexistent/folder/Tavola.so");
  EXPECT_FALSE(missing.loaded());
  EXPECT_EQ(missing.entry(), nullptr);
  EXPECT_NE(missing.error().find("/nonexistent/folder/Tavola.so"), std::string::npos)
      << missing.error();

  std::string error;
  EXPECT_EQ(HostedEffect::create(missing, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tavola::plugintest
