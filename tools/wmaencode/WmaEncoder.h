#pragma once
#include <functional>
#include <string>

#include "tools/wmaencode/WmaArguments.h"

// Encodes one audio file (anything the media libraries can read, normally a WAV) into
// WMA version 2 in an ASF container, resampled and down- or up-mixed to the setting, with the
// author and description written into the container's content description.
namespace trackmill::wma {

// Calls progress with 0..99 while the input is read. Returns false and a one-line reason in
// error on any failure; a partly written output is removed then.
bool EncodeToWma(const EncoderArguments& args, const std::function<void(int)>& progress,
                 std::string& error);

}  // namespace trackmill::wma
