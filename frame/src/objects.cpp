#include "tzx/objects.h"

#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx {

void AppendObject(ObjectHeader** head, ObjectHeader* record) {
  record->next = nullptr;
  ObjectHeader** link = head;
  while (*link) link = &(*link)->next;
  *link = record;
}

void UnlinkObject(ObjectHeader** head, ObjectHeader* record) {
  for (ObjectHeader** link = head; *link; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      record->next = nullptr;
      return;
    }
  }
}

ObjectHeader* FindObject(ObjectHeader* head, const ObjectId& id) {
  for (ObjectHeader* h = head; h; h = h->next) {
    if (h->id == id) return h;
  }
  return nullptr;
}

int ObjectNotFound(const ObjectId& id, int numberCode) {
  if (id.pointer) return kErrUnknownAutoId;
  return ErrorWithNumber(numberCode, id.number);
}

void AssignObjectId(ObjectHeader* record, int32_t type, const ObjectId& requested) {
  record->type = type;
  record->id = requested.pointer ? ObjectId{0, record} : ObjectId{requested.number, nullptr};
}

void ForgetAndFree(lua_State* L, ObjectHeader* record) {
  if (auto* object = static_cast<const ObjectSibling*>(Sibling("object"))) {
    object->forget(L, record->objectData);
  }
  HostFree(record);
}

void FreeObjectList(lua_State* L, ObjectHeader** head) {
  while (ObjectHeader* h = *head) {
    UnlinkObject(head, h);
    ForgetAndFree(L, h);
  }
}

int NoAttributes(ObjectHeader* head, const ObjectId& id, int numberCode) {
  if (!FindObject(head, id)) return ObjectNotFound(id, numberCode);
  return kErrUnknownAttribute;
}

}  // namespace tzx
