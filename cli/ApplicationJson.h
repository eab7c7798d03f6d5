// The JSON form of an application program used by `ravo export` and `ravo import`:
//   {"version": number,
//    "motor": [8 x {"subdivision", "pitch", "backlash", "acceleration", "deceleration", "minimumSpeed"}],
//    "programs": [{"lines": [{"record": "<32 hex digits>", "remark": "<stored remark>" or null}]}],
//    "peripherals": {"limitLevel", "limits": [16], "ad": [2 x {"function", "minimum", "maximum"}],
//                    "encoders": [3 x {"mode", "lines", "ratio"}]}}
// Real numbers are written in the shortest form that reads back to the same single-precision
// value; infinities and NaNs, which JSON has no numbers for, as the strings "inf", "-inf",
// "nan" and "-nan".
#pragma once

#include "ApplicationDocument.h"

#include <string>
#include <string_view>

namespace ravo {

std::string ApplicationToJson(const ApplicationDocument& document);
// Throws CliError naming the first member that is missing, unknown or out of range.
ApplicationDocument ApplicationFromJson(std::string_view json);

}  // namespace ravo
