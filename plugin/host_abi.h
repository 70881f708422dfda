// The host application's binary interface, as this module and the stand-in host see it.
//
// Every record here crosses the boundary between the host and the module, so its layout is
// fixed: fixed-width integers wherever the size matters (`long` is 32 bits on 64-bit Windows
// and 64 bits on Linux, so it never appears), pointers where the host passes handles or
// functions, and a static_assert on every offset and size the host relies on.
//
//   plugin/abi/module.h    handles, the descriptor, the callback table, event and drawing
//   plugin/abi/panel.h     value records, attribute tags, control descriptors and records
//   plugin/abi/services.h  the fourteen services, each record with its own name
//
// Where the host's layout is only partly known to us, the unknown fields are declared as
// `Reserved` slots or `reserved` bytes. Those choices are ours; they are made in these
// headers, once, and the stand-in host fills the same records. The choices:
//   - DrawAccess: the drawing data handle followed by three operations (colour, circle, disc).
//   - CameraInfoService: focal length at slot 2, focal distance at 3, f-stop at 4, film size
//     at 8.
//   - ToolEvent: 248 bytes; the fields the tool does not read are kept for the host's own use.
//   - ToolCallbacks: the twelve slots the module fills, then four slots the host keeps for
//     itself and the module never writes.
//   - Unnamed service slots are `Reserved` and never called by the module.
// Everything here uses the C calling convention of the platform (x86-64 System V on Linux,
// the Microsoft x64 convention on Windows); there is only one convention on each.
#pragma once

#include "plugin/abi/module.h"
#include "plugin/abi/panel.h"
#include "plugin/abi/services.h"
