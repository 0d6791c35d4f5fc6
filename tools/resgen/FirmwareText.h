#pragma once

#include <string>

// The control-MCU firmware the program carries: two S-record files one after the other (the
// top 16 KB block, then the rest of a 256 KB flash), each an S0 header, S3 records of 16 data
// bytes and an S7 terminator, in CR LF lines, followed by one 0x1A byte. The content is
// pseudo-random but fixed, with some 256-byte pages left blank so that programming skips them.
std::string MakeFirmwareText();
