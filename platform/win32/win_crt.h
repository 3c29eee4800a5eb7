// win_crt.h - what the Microsoft runtime functions of the stand-in share.
#pragma once

// Reports an invalid parameter on standard error, one line: "FUNCTION: invalid parameter: REASON".
// The caller then returns the documented value; the program carries on.
void win_crt_invalid_parameter(const char* function, const char* reason);
