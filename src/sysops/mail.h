// The MAIL directive: compose a message with attachments and send it over SMTP.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of MAIL.
int64_t runMail(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
