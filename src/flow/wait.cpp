#include "flow/wait.h"

#include <functional>

#include "engine/attribute_errors.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/net.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "engine/registry.h"

namespace orv {

namespace {

struct WaitRequest {
  std::string type, mode, location, value, valueName;
  int64_t timeout = 0;       // seconds; 0 or less: no limit
  int64_t refreshMs = 1000;  // pause before each check
  int8_t policy = 0;
};

// What one check found.
enum class Probe { NotMet, Met, Failed };
using Check = std::function<Probe()>;

// value and valuename: the start-up expansion, then the attribute expansion.
std::string expandTwice(Engine& engine, const std::string& raw) {
  return expandAttribute(engine, expandText(raw, "#,%"), {.limit = 1024});
}

WaitRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  WaitRequest r;
  r.type = firstChars(toLower(attrs.get("type")), 20);
  r.mode = firstChars(toLower(attrs.get("mode")), 20);
  r.location = expandAttribute(engine, attrs.get("location"), {.limit = 1024});
  if (attrs.has("value")) r.value = expandTwice(engine, attrs.get("value"));
  if (attrs.has("valuename")) r.valueName = expandTwice(engine, attrs.get("valuename"));
  r.timeout = numberValue(attrs.get("timeout"));
  int64_t refresh = numberValue(attrs.get("refreshtime"));
  r.refreshMs = refresh > 0 ? refresh * 1000 : 1000;
  r.policy = parsePolicy(attrs.get("blocktag"), PolicyTable::BlockTag);
  return r;
}

int64_t nowSeconds() { return sys::monotonicMs() / 1000; }

bool knownMode(const WaitRequest& r) { return r.mode == "detect" || r.mode == "lost"; }

// The common loop: pause, check, until met or the time-out.
bool pollUntilMet(Engine& engine, const WaitRequest& r, const Check& check) {
  if (!knownMode(r) && r.timeout <= 0) {
    // This wait could never end: say why and give the time-out outcome now.
    engine.log(attributeErrorText(kErrMode), "ERR+2");
    return false;
  }
  int64_t deadline = nowSeconds() + r.timeout;
  for (;;) {
    sys::sleepMs(r.refreshMs);
    Probe found = check();
    if (found == Probe::Met) return true;
    if (found == Probe::Failed) return false;
    if (r.timeout > 0 && nowSeconds() >= deadline) {
      engine.log("Délai d'attente dépassé. Temp max : " + decimal(r.timeout) + "s.", "ATT+2");
      return false;
    }
  }
}

// Met when present for "detect" and when absent for "lost"; other modes never meet.
Probe byMode(Engine& engine, const std::string& mode, bool present, const char* foundText,
             const char* goneText, const char* level) {
  if (mode == "detect" && present)
    engine.log(foundText, level);
  else if (mode == "lost" && !present)
    engine.log(goneText, level);
  else
    return Probe::NotMet;
  return Probe::Met;
}

RegistryView viewFor(const RegistryPath& path) { return isMachine64Bit(path.machine) ? 1 : 0; }

bool waitRegistryKey(Engine& engine, WaitRequest r) {
  engine.log("Attente de la présence de la clef : " + r.location, "+1");
  if (r.mode != "lost") r.mode = "detect";
  RegistryPath path;
  bool parsed = parseRegistryPath(r.location, path);
  return pollUntilMet(engine, r, [&] {
    bool present = parsed && registryExists(path, "", viewFor(path)) == 1;
    return byMode(engine, r.mode, present, "Clef détectée.", "La clef n'est pas ou plus présente.", "+2");
  });
}

Probe checkRegistryValue(Engine& engine, const WaitRequest& r, const RegistryPath& path, bool parsed) {
  RegistryView view = parsed ? viewFor(path) : 0;
  bool present = parsed && registryExists(path, r.valueName, view) == 1;
  if (!present) {
    if (r.mode == "lost" && r.value.empty()) {
      engine.log("La valeur n'existe pas ou plus.", "+2");
      return Probe::Met;
    }
    engine.log("La clef " + r.valueName + " n'existe pas ou plus.", "+2");
    return Probe::NotMet;
  }
  if (r.value.empty()) return byMode(engine, r.mode, true, "La valeur existe.", "", "+2");
  bool same = readRegistryValue(path, r.valueName, view) == r.value;
  return byMode(engine, r.mode, same, "Le contenu de la valeur correspond à celle demandé.",
                "Le contenu de la valeur ne correspond pas ou plus.", "+2");
}

bool waitRegistryValue(Engine& engine, const WaitRequest& r) {
  if (r.mode == "detect")
    engine.log("Attente de la présence de la valeur : " + r.value, "+1");
  else if (r.mode == "lost")
    engine.log("Attente du départ de la valeur : " + r.value, "+1");
  RegistryPath path;
  bool parsed = parseRegistryPath(r.location, path);
  return pollUntilMet(engine, r, [&] { return checkRegistryValue(engine, r, path, parsed); });
}

bool waitFile(Engine& engine, WaitRequest r) {
  engine.log("Attente de la présence du fichier : " + r.location, "+1");
  if (r.mode != "lost") r.mode = "detect";
  return pollUntilMet(engine, r, [&] {
    return byMode(engine, r.mode, fs::fileExists(r.location), "Fichier détecté.", "Le fichier n'existe plus.",
                  "+2");
  });
}

bool waitProcess(Engine& engine, const WaitRequest& r) {
  engine.log("Test d'existence du processus : " + r.value, "+1");
  return pollUntilMet(engine, r, [&] {
    return byMode(engine, r.mode, processExists(r.value), "Le processus existe.",
                  "Le processus n'est pas ou plus présent.", "+2");
  });
}

// One echo request; a probe that cannot be sent at all ends the wait, logged
// once, so that it is never taken for a host that does not answer.
Probe checkPing(Engine& engine, const WaitRequest& r, const std::string& address) {
  net::PingOutcome ping = net::pingAddress(address, 1000);
  if (!ping.failedCall.empty()) {
    engine.log("Erreur système du ping (" + ping.failedCall + ") : " + decimal(ping.systemError), "ERR+3");
    return Probe::Failed;
  }
  return byMode(engine, r.mode, ping.result > 0, "La machine répond.", "La machine ne répond pas ou plus.",
                "+3");
}

bool waitPing(Engine& engine, const WaitRequest& r) {
  engine.log("Ping d'une machine : " + r.location, "+1");
  net::HostAddress host = net::resolveHostAddress(r.location);
  std::string address = host.status > 0 ? host.address : r.location;
  engine.log("Adresse IP : " + address, "+2");
  return pollUntilMet(engine, r, [&] { return checkPing(engine, r, address); });
}

bool runTypedWait(Engine& engine, const WaitRequest& r) {
  if (r.type == "regkey") return waitRegistryKey(engine, r);
  if (r.type == "regvalue") return waitRegistryValue(engine, r);
  if (r.type == "file") return waitFile(engine, r);
  if (r.type == "process") return waitProcess(engine, r);
  if (r.type == "ping") return waitPing(engine, r);
  return false;
}

}  // namespace

WaitDecision decideWait(int8_t policy, bool met) {
  WaitDecision d;
  switch (policy) {
    case 0: d.result = met ? 1 : 0; break;
    case 1: d.result = met ? 0 : 1; break;
    case 2: d.result = met ? 1 : -3; break;
    default:
      d.internalError = true;
      d.result = met ? 1 : 0;
      return d;
  }
  if (d.result == 0) d.result = -2;
  return d;
}

int64_t runWait(Engine& engine, const DirectiveNode& node) {
  engine.log("WAIT", "LVL+0");
  AttributeMap attrs;
  bool met = false;
  int8_t policy = 0;
  if (loadAttributes(engine, node, attrs) != 0) {
    WaitRequest r = readRequest(engine, attrs);
    policy = r.policy;
    met = runTypedWait(engine, r);
  }
  WaitDecision d = decideWait(policy, met);
  if (d.internalError)
    engine.log(attributeErrorText(kErrInternal) + " La condition d'attente ne fonctionne pas correctement.",
               "ERR+0");
  if (d.result == 1) engine.log("Les sous-directives vont être executées", "+0");
  if (d.result == -2) engine.log("Les sous-directives ne seront pas executées", "+0");
  return d.result;
}

}  // namespace orv
