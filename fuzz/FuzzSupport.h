#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Shared by the fuzz targets. Each target defines LLVMFuzzerTestOneInput; libFuzzer drives it in
// `make fuzz`, and ReplayMain.cpp runs it over the stored inputs in the normal test run.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Stops the run (libFuzzer keeps the input) when a property does not hold.
void Check(bool holds, const char* what);

// A path that reads as a regular file holding exactly data; the same path on every call.
const std::string& InputFile(const std::uint8_t* data, std::size_t size);

// A scratch folder for files the target writes, removed when the process ends.
const std::string& ScratchFolder();
