// A plug-in built from the shared frame for the frame's own tests: it owns one
// object type (9001) and lets scripts see what the frame bound.
#include "tzx/errors.h"
#include "tzx/frame.h"
#include "tzx/objects.h"

namespace {

using namespace tzx;

constexpr int32_t kThingType = 9001;
constexpr char kDescriptor[] = "\0$VER: frametest.tzx 1.0 (10.01.26) [Windows] [x86] ";

struct Thing {
  ObjectHeader header;
  void* payload;  // a second block, so that closing must free both
};

ObjectHeader* gThings = nullptr;
struct Bound {
  const void* graphics = nullptr;
  const void* object = nullptr;
  const void* other = nullptr;
} gBound;
const int gInterface[4] = {1, 2, 3, 4};

const BindingRow kBindings[] = {
    Bind<gBound, &Bound::graphics>("graphics"),
    Bind<gBound, &Bound::object>("object"),
    Bind<gBound, &Bound::other>("other"),
    {nullptr, nullptr, nullptr},
};

// MakeThing(id or nil) -> automatic id or nothing
int MakeThing(lua_State* L) {
  Args().beginCommand(L, 1, 1, 0, 0);
  ObjectId id = Args().newObjectId(L, 1);
  if (!id.pointer) {
    if (ObjectHeader* old = FindObject(gThings, id)) {
      UnlinkObject(&gThings, old);
      HostFree(reinterpret_cast<Thing*>(old)->payload);
      ForgetAndFree(L, old);
    }
  }
  auto* thing = AllocRecord<Thing>();
  if (!thing) return kErrNoMemory;
  thing->payload = HostAlloc(64);
  AssignObjectId(&thing->header, kThingType, id);
  AppendObject(&gThings, &thing->header);
  if (!id.pointer) return 0;
  Lua().pushlightuserdata(L, thing);
  return 1;
}

// BoundSibling(name) -> the first word of the bound interface, or nil
int BoundSibling(lua_State* L) {
  Args().beginCommand(L, 1, 1, 0, 0);
  const char* name = Lua().checklstring(L, 1, nullptr);
  const void* table = Sibling(name);
  if (!table) return 0;
  Lua().pushlightuserdata(L, const_cast<void*>(table));
  return 1;
}

int ThingAttribute(lua_State* L, int attribute, const ObjectId* id) {
  ObjectHeader* h = FindObject(gThings, *id);
  if (!h) return ObjectNotFound(*id, kErrRange);
  if (attribute != 1) return kErrUnknownAttribute;
  Lua().pushnumber(L, h->id.number);
  return 1;
}

const CommandRow kCommands[] = {
    {"MakeThing", MakeThing},
    {"BoundSibling", BoundSibling},
    {nullptr, nullptr},
};

const ConstantRow kConstants[] = {
    {"THING", nullptr, kThingType},
    {"THINGNAME", "thing", 0},
    {nullptr, nullptr, 0},
};

const ObjectTypeRow kTypes[] = {
    {kThingType, "Things", &gThings, ThingAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  while (ObjectHeader* h = gThings) {
    UnlinkObject(&gThings, h);
    HostFree(reinterpret_cast<Thing*>(h)->payload);
    ForgetAndFree(L, h);
  }
}

const LibraryDefinition kDefinition = {
    .name = "frametest",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = gInterface,
    .requiresGraphics = false,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = kTypes,
    .close = Close,
};

}  // namespace

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return kDefinition;
}
