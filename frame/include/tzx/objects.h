// Object lists: singly linked, appended at the tail, searched linearly.
#pragma once

#include "tzx/frame.h"

namespace tzx {

void AppendObject(ObjectHeader** head, ObjectHeader* record);
void UnlinkObject(ObjectHeader** head, ObjectHeader* record);
ObjectHeader* FindObject(ObjectHeader* head, const ObjectId& id);

// The error for an identifier that names no object: 1041 for an unknown
// automatic identifier, else `numberCode` with the number as its argument.
int ObjectNotFound(const ObjectId& id, int numberCode);

// For a new object with an automatic identifier the record's own address
// becomes the pointer word.
void AssignObjectId(ObjectHeader* record, int32_t type, const ObjectId& requested);

// Lets the object sibling forget the record, then frees it.
void ForgetAndFree(lua_State* L, ObjectHeader* record);

// Empties a list whose records hold nothing but themselves.
void FreeObjectList(lua_State* L, ObjectHeader** head);

// The attribute callback's answer for a type that has no readable attributes:
// the lookup error for an unknown object, else 1080.
int NoAttributes(ObjectHeader* head, const ObjectId& id, int numberCode);

}  // namespace tzx
