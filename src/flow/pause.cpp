#include "flow/pause.h"

#include "engine/period.h"
#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "platform/system.h"

namespace orv {

int64_t runPause(Engine& engine, const DirectiveNode&, const AttributeMap& attrs) {
  int64_t seconds = parsePeriod(engine, firstChars(toLower(attrs.get("value")), 50));
  engine.log("Mise en attente pendant " + decimal(seconds) + " secondes.", "");
  sys::sleepMs(waitMilliseconds(engine, seconds, "ATT1"));
  engine.log("Fin de période d'attente.", "");
  return 1;
}

}  // namespace orv
