// Each object's sharpness in words, the same in the transcript, the pictures' labels and the
// report: "Ball 7.02 to 7.96 m: partly sharp, blur up to 1.2 px", "Backdrop 12.0 to 12.4 m:
// 14 px blur".
#pragma once

#include <string>

#include "host/program/session/object_focus.h"

namespace host {

// A blur circle's diameter in pixels, with the digits it needs: "0.44 px", "1.2 px", "14 px";
// the number alone.
std::string blur_px_text(double px);
std::string blur_px_number(double px);
// How near and far the visible surface lies: "7.14 m", "7.02 to 7.96 m".
std::string seen_range(const ObjectFocus& o);
// The verdict: "sharp", "partly sharp, blur up to 1.2 px", "14 px blur", "13 to 15 px blur",
// "not in view", "blur unknown".
std::string verdict(const ObjectFocus& o);
// "NAME RANGE: VERDICT" (or "NAME: not in view").
std::string object_sentence(const std::string& name, const ObjectFocus& o);

}  // namespace host
