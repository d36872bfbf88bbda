#include "sysops/lib.h"

#include <charconv>
#include <cstring>

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/library.h"
#include "sysops/library_load.h"
#include "sysops/exec.h"

namespace orv {

namespace {

constexpr size_t kMaxParameters = 20;

struct LibRequest {
  std::string location, name, function, validCodes;
};

LibRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  LibRequest r;
  r.location = expandAttribute(engine, attrs.get("location"), {.limit = 1024});
  r.name = toLower(expandAttribute(engine, attrs.get("name"), {.limit = 30}));
  r.function = expandAttribute(engine, attrs.get("function"), {.limit = 100});
  r.validCodes = expandAttribute(engine, attrs.get("validreturncode"), {.limit = 256});
  return r;
}

// The numeric part of a text, as from_chars reads it: blanks skipped, a "+"
// dropped (from_chars takes only "-").
template <typename T>
T floatingValue(const std::string& text) {
  size_t pos = text.find_first_not_of(" \t");
  if (pos == std::string::npos) return 0;
  if (text[pos] == '+') ++pos;
  T value = 0;
  auto [end, ec] =
      std::from_chars(text.data() + pos, text.data() + text.size(), value, std::chars_format::general);
  return ec == std::errc() ? value : T(0);
}

template <typename T>
void storeBlock(LibParameter& out, const T& value) {
  out.words.assign(1, 0);
  std::memcpy(out.words.data(), &value, sizeof value);
}

// Every parameter travels as a pointer, so one signature fits every call:
// pointers go in the integer registers and the stack under both x64
// conventions, and a callee that takes fewer arguments ignores the rest.
using LibFunction = int64_t (*)(void*, void*, void*, void*, void*, void*, void*, void*, void*, void*, void*,
                                void*, void*, void*, void*, void*, void*, void*, void*, void*);

int64_t callFunction(void* address, std::vector<LibParameter>& params) {
  void* a[kMaxParameters] = {};
  for (size_t i = 0; i < params.size() && i < kMaxParameters; ++i) a[i] = params[i].data();
  auto fn = reinterpret_cast<LibFunction>(address);
  return fn(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13], a[14],
            a[15], a[16], a[17], a[18], a[19]);
}

// Parameters 1, 2, ... up to the first missing ptype; false when a type is not recognised.
bool collectParameters(Engine& engine, const AttributeMap& attrs, std::vector<LibParameter>& params) {
  bool ok = true;
  for (size_t n = 1; attrs.has("ptype" + decimal(n)); ++n) {
    LibParameter p;
    if (makeLibParameter(attrs.get("ptype" + decimal(n)), attrs.get("pvalue" + decimal(n)), p)) {
      params.push_back(std::move(p));
    } else {
      engine.log("Le type de paramètre de la valeur " + decimal(n) + " n'est pas reconnu.", "ERR+1");
      ok = false;
    }
  }
  engine.log("Nombre de paramètres à transmettre à la fonction : " + decimal(params.size()), "+1");
  return ok;
}

// Steps with the library loaded: find the function, collect, call, record, check.
int64_t callExport(Engine& engine, const LibRequest& r, void* handle, const AttributeMap& attrs) {
  if (r.function.empty()) {
    engine.log("Il est obligatoire de spécifier un nom de fonction.", "ERR+1");
    return 0;
  }
  lib::SystemError error;
  void* address = lib::findSymbol(handle, r.function, error);
  if (!address) {
    engine.log("Fonction " + r.function + " non trouvé.", "ERR+1");
    return 0;
  }
  std::vector<LibParameter> params;
  if (!collectParameters(engine, attrs, params)) return 0;
  if (params.size() > kMaxParameters) {
    engine.log("Plus de " + decimal(kMaxParameters) + " paramètres : la fonction n'est pas appelée.",
               "ERR+2");
    return 0;
  }
  int64_t value = callFunction(address, params);
  engine.results.lib[r.name] = value;
  engine.log("Retour de la fonction " + r.function + " : " + decimal(value), "+1");
  if (r.validCodes.empty()) {
    engine.log(
        "L'option ValidReturnCode n'est pas spécifié, aucune vérification ne sera faite sur le retour.",
        "+1");
    return 1;
  }
  if (acceptsExitCode(r.validCodes, value)) return 1;
  engine.log("Le retour de la fonction ne fait pas partie des valeurs acceptées (" + r.validCodes + ").",
             "ERR+2");
  return 0;
}

}  // namespace

bool makeLibParameter(const std::string& type, const std::string& value, LibParameter& out) {
  if (type == "integer" || type == "quad") {
    storeBlock(out, numberValue(value));
  } else if (type == "double") {
    storeBlock(out, floatingValue<double>(value));
  } else if (type == "float") {
    storeBlock(out, floatingValue<float>(value));
  } else if (type == "string") {
    std::string bytes = lib::nativeTextBlock(value);
    out.words.assign(bytes.size() / sizeof(uint64_t) + 1, 0);
    std::memcpy(out.words.data(), bytes.data(), bytes.size());
  } else {
    return false;
  }
  return true;
}

int64_t runLib(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  LibRequest r = readRequest(engine, attrs);
  if (r.name.empty()) {
    engine.log("Il est obligatoire de spécifier un nom pour l'ouverture de la librairie.", "ERR+1");
    return 0;
  }
  engine.log("Ouverture de la librairie " + r.location + "...", "+1");
  void* handle = loadLibraryLogged(engine, r.location,
                                   {.notFound = "Impossible de localiser la librairie.",
                                    .fullPath = "Chemin complet de la librairie : ",
                                    .loadFailed = "Erreur au chargement de la librairie."});
  if (!handle) return 0;
  engine.log("Chargement effectué.", "+2");
  int64_t result = callExport(engine, r, handle, attrs);
  lib::SystemError error;
  if (!lib::unloadLibrary(handle, error)) logLibraryError(engine, error, "ERR+2");
  return result;
}

}  // namespace orv
