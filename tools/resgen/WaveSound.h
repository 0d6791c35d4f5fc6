#pragma once

#include <string>

// Short RIFF WAVE sounds (16-bit mono PCM) for the update's outcome.
std::string MakeRingSound();  // a two-note chime: success
std::string MakeAlarmSound(); // three low buzzes: failure
