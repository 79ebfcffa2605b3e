#include "commands.h"

#include <array>
#include <cctype>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "command_scope.h"

namespace tzx::host {
namespace {

std::map<std::string, int> gCommandCounts;

// Each registered row gets a trampoline of its own that knows its row, so a
// call costs no upvalue lookup; rows beyond these share one that reads the row
// from its upvalue. A row keeps its slot while the host runs, whichever
// interpreter registers it.
constexpr size_t kOwnTrampolines = 1024;
const CommandRow* gSlotRows[kOwnTrampolines];
std::unordered_map<const CommandRow*, size_t> gSlotOf;

template <size_t I>
int OwnTrampoline(lua_State* L) {
  return RunCommand(L, gSlotRows[I]);
}

template <size_t... I>
constexpr std::array<lua_CFunction, sizeof...(I)> OwnTrampolines(std::index_sequence<I...>) {
  return {OwnTrampoline<I>...};
}

constexpr auto kTrampolines = OwnTrampolines(std::make_index_sequence<kOwnTrampolines>());

int SharedTrampoline(lua_State* L) {
  return RunCommand(L, static_cast<const CommandRow*>(lua_touserdata(L, lua_upvalueindex(1))));
}

// Pushes the function that runs `row`.
void PushTrampoline(lua_State* L, const CommandRow* row) {
  auto slot = gSlotOf.find(row);
  if (slot == gSlotOf.end() && gSlotOf.size() < kOwnTrampolines) {
    slot = gSlotOf.emplace(row, gSlotOf.size()).first;
    gSlotRows[slot->second] = row;
  }
  if (slot != gSlotOf.end()) {
    lua_pushcfunction(L, kTrampolines[slot->second]);
    return;
  }
  // The row stays valid while its library is loaded, which outlasts the state.
  lua_pushlightuserdata(L, const_cast<CommandRow*>(row));
  lua_pushcclosure(L, SharedTrampoline, 1);
}

}  // namespace

void RegisterCommandTable(lua_State* L, const CommandRow* table) {
  for (const CommandRow* row = table; row && row->name; ++row) {
    std::string lower = row->name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    PushTrampoline(L, row);
    lua_pushvalue(L, -1);
    lua_setglobal(L, row->name);
    lua_setglobal(L, lower.c_str());
  }
}

void NameCommands(const CommandRow* table, const char* library) {
  int n = 0;
  for (const CommandRow* row = table; row && row->name; ++row) ++n;
  gCommandCounts[library] = n;
}

int CommandCountOf(const char* library) {
  auto it = gCommandCounts.find(library);
  return it == gCommandCounts.end() ? 0 : it->second;
}

void ForgetCommandTables() {
  gCommandCounts.clear();
  gSlotOf.clear();
}

}  // namespace tzx::host
