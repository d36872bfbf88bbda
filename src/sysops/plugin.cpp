#include "sysops/plugin.h"

#include <orvantis/plugin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "engine/utf16.h"
#include "platform/library.h"
#include "sysops/library_load.h"
#include "sysops/plugin_host.h"

namespace orv {

namespace {

static_assert(offsetof(OrvPluginInfo, version) == 200 && offsetof(OrvPluginInfo, description) == 220 &&
                  offsetof(OrvPluginInfo, compatibility) == 1244 && offsetof(OrvPluginInfo, author) == 1245 &&
                  offsetof(OrvPluginInfo, creationDate) == 1345 && offsetof(OrvPluginInfo, tags) == 1385 &&
                  sizeof(OrvPluginInfo) == 1393,
              "the information block layout is part of the plug-in contract");

const char* kIncomplete =
    "Il manque des informations sur le plugin, cette librairie ne sera donc pas disponible.";
constexpr size_t kMaxTagListUnits = 1 << 20;

struct PluginRequest {
  std::string location, type, name;
  bool showInfo = true;
};

// What InitPlugIn wrote, as UTF-8.
struct PluginInfo {
  std::string name, version, description, author, date, tags;
  int compatibility = 0;
};

PluginRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  PluginRequest r;
  r.location = expandAttribute(engine, attrs.get("location"), {.limit = 1024});
  r.type = toLower(firstChars(attrs.get("type"), 10));
  r.name = toLower(firstChars(attrs.get("name"), 100));
  r.showInfo = !isTrue(attrs.get("noplugininfo"));
  return r;
}

// A fixed-length UTF-16 field of the block, read without trusting its NUL.
std::string field(const unsigned char* block, size_t offset, size_t units) {
  std::u16string text(units, u'\0');
  std::memcpy(text.data(), block + offset, units * sizeof(char16_t));
  return utf16ToUtf8(boundedUtf16(text.data(), units));
}

PluginInfo decodeInfo(const unsigned char* block) {
  PluginInfo info;
  info.name = field(block, offsetof(OrvPluginInfo, name), 100);
  info.version = field(block, offsetof(OrvPluginInfo, version), 10);
  info.description = field(block, offsetof(OrvPluginInfo, description), 512);
  info.compatibility = block[offsetof(OrvPluginInfo, compatibility)];
  info.author = field(block, offsetof(OrvPluginInfo, author), 50);
  info.date = field(block, offsetof(OrvPluginInfo, creationDate), 20);
  const char16_t* tags = nullptr;
  std::memcpy(&tags, block + offsetof(OrvPluginInfo, tags), sizeof tags);
  if (tags) info.tags = utf16ToUtf8(boundedUtf16(tags, kMaxTagListUnits));
  return info;
}

void logInfo(Engine& engine, const PluginInfo& info) {
  engine.log("Informations sur le PlugIn.", "+2");
  engine.log("Nom : " + info.name + " v" + info.version, "+3");
  engine.log("Auteur : " + info.author, "+3");
  engine.log("Date de création : " + info.date, "+3");
  engine.log("Compatibilité Orvantis : " + decimal(info.compatibility), "+3");
  engine.log("Description : " + info.description, "+3");
  engine.log("Nom de balise : " + info.tags, "+3");
}

// Enters each "tag|function" entry of the list; 0 when a function is missing.
int64_t registerTags(Engine& engine, const std::shared_ptr<PluginLibrary>& library, const std::string& tags) {
  std::string list = tags + ";";
  size_t count = static_cast<size_t>(std::count(list.begin(), list.end(), ';'));
  engine.log("Ajout de " + decimal(static_cast<int64_t>(count)) + " balises.", "+4");
  int64_t result = 1;
  for (size_t start = 0, end; (end = list.find(';', start)) != std::string::npos; start = end + 1) {
    std::string entry = list.substr(start, end - start);
    size_t bar = entry.find('|');
    if (bar == std::string::npos) {
      engine.log(kIncomplete, "ERR+4");
      continue;
    }
    std::string tag = firstChars(entry.substr(0, bar), 100);
    std::string function = firstChars(entry.substr(bar + 1), 255);
    engine.log(tag + " -> " + function, "+5");
    lib::SystemError error;
    void* address = lib::findSymbol(library->handle, function, error);
    if (!address) {
      engine.log("Impossible de trouver la fonction associée dans la librairie.", "ERR+6");
      result = 0;
      continue;
    }
    engine.pluginTags[pluginTagKey(tag)] = PluginTagBinding{library, address};
  }
  return result;
}

// InitPlugIn, the information lines and the tags of a loaded plug-in.
int64_t initPlugin(Engine& engine, const PluginRequest& r, const std::shared_ptr<PluginLibrary>& library) {
  lib::SystemError error;
  auto init = reinterpret_cast<OrvInitPlugInFunction>(lib::findSymbol(library->handle, "InitPlugIn", error));
  if (!init) {
    engine.log("Erreur Impossible de localiser InitPlugIn() dans le plugin.", "ERR+2");
    return 0;
  }
  // Zero-filled and larger than the block, so a plug-in writing a little too far harms nothing.
  std::vector<uint64_t> block(2048 / sizeof(uint64_t), 0);
  auto* bytes = reinterpret_cast<unsigned char*>(block.data());
  if (init(reinterpret_cast<OrvPluginInfo*>(bytes)) == 0) {
    engine.log("Erreur lors de la vérification avec InitPlugIn().", "ERR+2");
    return 0;
  }
  PluginInfo info = decodeInfo(bytes);
  if (r.showInfo) logInfo(engine, info);
  if (info.name.empty() || info.version.empty() || info.date.empty() || info.tags.empty()) {
    engine.log(kIncomplete, "ERR+2");
    return 0;
  }
  return registerTags(engine, library, info.tags);
}

int64_t loadPlugin(Engine& engine, const PluginRequest& r) {
  engine.log("Chargement du plugin " + r.location, "+1");
  auto library = std::make_shared<PluginLibrary>();
  library->handle = loadLibraryLogged(engine, r.location,
                                      {.notFound = "Impossible de localiser le plugin.",
                                       .fullPath = "Chemin complet du plugin : ",
                                       .loadFailed = "Erreur au chargement du plugin."});
  if (!library->loaded()) return 0;
  int64_t result = initPlugin(engine, r, library);
  if (result != 1) {
    engine.log("Fermeture de la librairie dû à une erreur.", "ERR+2");
    library->unload();
  }
  return result;
}

// The binding of a tag: the exact key first, then without regard to case
// (the directive's name is lower-cased, plug-in tags usually are not).
PluginTagBinding* findBinding(Engine& engine, const std::string& name) {
  std::string key = pluginTagKey(name);
  auto exact = engine.pluginTags.find(key);
  if (exact != engine.pluginTags.end()) return exact->second.target<PluginTagBinding>();
  for (auto& [tag, call] : engine.pluginTags)
    if (equalsNoCase(tag, key) && call.target<PluginTagBinding>()) return call.target<PluginTagBinding>();
  return nullptr;
}

int64_t closePlugin(Engine& engine, const std::string& name) {
  PluginTagBinding* binding = findBinding(engine, name);
  if (!binding) {
    engine.log("Impossible de trouver la balise spécifié dans les PlugIn's.", "ERR+1");
    return 0;
  }
  engine.log("Fermeture de librairie spécifié. Tout les plugin's en relation ne seront plus disponible.",
             "+1");
  binding->library->unload();
  return 1;
}

}  // namespace

bool PluginLibrary::unload() {
  if (!handle) return true;
  lib::SystemError error;
  bool ok = lib::unloadLibrary(handle, error);
  handle = nullptr;  // never called again, whatever the system answered
  return ok;
}

std::string pluginTagKey(const std::string& tag) { return firstChars(tag, 20); }

int64_t PluginTagBinding::operator()(Engine& engine, const DirectiveNode& node) const {
  AttributeMap attrs;
  if (loadAttributes(engine, node, attrs) == 0) return applyErrorPolicy(engine, 0, 0);
  int8_t policy = parsePolicy(attrs.get("blocktagerror"), PolicyTable::BlockTagError);
  engine.log(firstChars(node.name, 20), "LVL+0");
  int64_t result = 0;
  if (library && library->loaded()) {
    engine.log("Execution...", "+1");
    result = static_cast<int8_t>(static_cast<uint8_t>(callTagFunction(engine, node, attrs, function)));
  } else {
    engine.log("La librairie n'est plus disponible, impossible d'appeler la balise.", "ERR+1");
  }
  return applyErrorPolicy(engine, policy, result);
}

int64_t runPlugin(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  PluginRequest r = readRequest(engine, attrs);
  if (r.type == "close") return closePlugin(engine, r.name);
  return loadPlugin(engine, r);
}

}  // namespace orv
