#include "ui/FormRegistry.h"

#include "ui/AboutBox.h"
#include "ui/EditTrackNameForm.h"
#include "ui/NoDeviceHintForm.h"

namespace trackmill {
namespace {

template <typename Form>
std::unique_ptr<QWidget> Make() {
  return std::make_unique<Form>();
}

constexpr FormFactory kForms[] = {
    &Make<TfrmEditTrackName>,
    &Make<TfrmNoDeviceHint>,
    &Make<TAboutBox>,
};

}  // namespace

std::span<const FormFactory> FormFactories() { return kForms; }

}  // namespace trackmill
