// The PLUGIN directive: load a plug-in library, let it describe itself and
// declare tags of its own; close it again. Also the call of a plug-in's tag.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of PLUGIN.
int64_t runPlugin(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// One library loaded by one PLUGIN directive; unloaded at most once, by its
// own close or its own failure (the system keeps the code mapped while other
// loads of the same file remain).
struct PluginLibrary {
  void* handle = nullptr;
  bool loaded() const { return handle != nullptr; }
  // Unloads the library (nothing when already unloaded); false when the system refused.
  bool unload();
};

// An entry of the plug-in tag table: calls the tag's function while its
// library is loaded, answers that it is no longer available afterwards.
struct PluginTagBinding {
  std::shared_ptr<PluginLibrary> library;
  void* function = nullptr;
  // The plug-in tag call: attributes, tag line, the call, the error policy.
  int64_t operator()(Engine& engine, const DirectiveNode& node) const;
};

// The table key of a tag: its first 20 characters, as elements are looked up.
std::string pluginTagKey(const std::string& tag);

}  // namespace orv
