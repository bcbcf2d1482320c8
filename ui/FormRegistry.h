#pragma once
#include <QWidget>

#include <memory>
#include <span>

// Every window of the program, as a factory that builds it in its starting state with its
// built-in English texts, without showing it or touching drives and files. The language file
// generator and the screenshots walk this list, so a window that is listed here can never
// miss its texts: adding a window is one line in FormRegistry.cpp. The two windows that stay
// English (the fallback extraction window and the wave file converter) are not listed, so the
// language files hold nothing of theirs. Main thread only.
namespace trackmill {

using FormFactory = std::unique_ptr<QWidget> (*)();

std::span<const FormFactory> FormFactories();

}  // namespace trackmill
