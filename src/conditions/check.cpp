#include "conditions/check.h"

#include "engine/attribute_errors.h"
#include "conditions/machine_conditions.h"
#include "conditions/stored_conditions.h"
#include "conditions/system_identity.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/system_facts.h"

namespace orv {

namespace {

struct CheckRequest {
  std::string type, location, value, mode, name;
  bool hasValue = false;
  int64_t number = 0;  // the number value of value
  int8_t policy = 0;
};

CheckRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  CheckRequest r;
  r.type = toLower(firstChars(attrs.get("type"), 20));
  r.location = expandAttribute(engine, attrs.get("location"), {.limit = 2048});
  r.hasValue = attrs.has("value");
  if (r.hasValue) r.value = expandAttribute(engine, attrs.get("value"), {.limit = 1024});
  r.number = numberValue(r.value);
  r.mode = toLower(firstChars(attrs.get("mode"), 20));
  r.name = firstChars(attrs.get("name"), 50);
  r.policy = parsePolicy(attrs.get("blocktag"), PolicyTable::BlockTag);
  return r;
}

// Machine state and system conditions; -1 when the type is not one of them.
int machineCondition(Engine& engine, const CheckRequest& r) {
  const std::string& t = r.type;
  if (t == "directory") return checkDirectory(engine, r.location);
  if (t == "file") return checkFile(engine, r.location, r.mode, r.value);
  if (t == "registry") return checkRegistry(engine, r.location, r.mode, r.value);
  if (t == "adgroup" || t == "adusergroup") return checkGroups(engine, r.value, facts::currentUserName());
  if (t == "computeradgroup") return checkGroups(engine, r.value, facts::computerName() + "$");
  if (t == "sysver") return checkSystemVersion(engine, r.value);
  if (t == "process") return checkProcess(engine, r.value);
  if (t == "freespace") return checkFreeSpace(engine, r.location, r.number, r.mode);
  if (t == "arch") return checkArchitecture(engine, r.value, r.mode);
  if (t == "date") return checkDate(engine, r.value, r.mode);
  return -1;
}

// Conditions on stored results; -1 when the type is not one of them.
int storedCondition(Engine& engine, const CheckRequest& r) {
  const std::string& t = r.type;
  if (t == "exec") return checkExecResult(engine, r.name, r.value, r.mode);
  if (t == "lib") return checkLibResult(engine, r.name, r.value, r.mode);
  if (t == "action") return checkActionState(engine, r.name, r.value, r.mode);
  if (t == "memo") return checkMemo(engine, r.name, r.value, r.mode, r.hasValue);
  if (t == "msgbox") return checkMsgboxAnswer(engine, r.name, r.value, r.mode);
  if (t == "parameter") return checkParameter(engine, r.name, r.value, r.mode);
  return -1;
}

bool evaluate(Engine& engine, const CheckRequest& r) {
  int result = machineCondition(engine, r);
  if (result < 0) result = storedCondition(engine, r);
  if (result < 0) {
    engine.log(attributeErrorText(kErrType), "ERR+1");
    return false;
  }
  return result == 1;
}

}  // namespace

std::vector<std::string> commaItems(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(text.substr(start, comma - start));
  items.push_back(text.substr(start));
  return items;
}

int64_t checkGate(Engine& engine, bool condition, int8_t policy) {
  int64_t code;
  switch (policy) {
    case 0: code = condition ? 1 : -2; break;
    case 1: code = condition ? -2 : 1; break;
    case 2: code = condition ? 1 : -3; break;
    default:
      engine.log(
          attributeErrorText(kErrInternal) + " La condition de passage ne fonctionne pas correctement.",
          "ERR+0");
      code = condition ? 1 : 0;
      break;
  }
  if (code == 1) engine.log("Les sous-directives vont être executées", "+0");
  if (code == -2) engine.log("Les sous-directives ne seront pas executées", "+0");
  return code;
}

int64_t runCheckDirective(Engine& engine, const DirectiveNode& node) {
  engine.log("CHECK", "LVL+0");
  AttributeMap attrs;
  if (loadAttributes(engine, node, attrs) == 0) return checkGate(engine, false, 0);
  CheckRequest r = readRequest(engine, attrs);
  bool condition = evaluate(engine, r);
  return checkGate(engine, condition, r.policy);
}

}  // namespace orv
