// The HTTP directive: download one file, with retries, never leaving a partial file.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of HTTP.
int64_t runHttp(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// The file path a download goes to: localFile when it names a file, otherwise
// (it ends with "\" or "/") localFile followed by the file name of the address
// (its path's last part, without query or fragment); empty when the address
// gives no name.
std::string downloadTarget(const std::string& url, const std::string& localFile);

}  // namespace orv
