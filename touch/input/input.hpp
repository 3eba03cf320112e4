// The one-call input functions: create a keypad, show it modally, return what was confirmed.
#pragma once

#include "frame/function.hpp"

namespace touch::input {

extern const FunctionDef input_text;
extern const FunctionDef input_password;
extern const FunctionDef input_digit_password;
extern const FunctionDef input_integer;
extern const FunctionDef input_float;

}  // namespace touch::input
