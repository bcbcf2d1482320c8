#include "ui/FormRegistry.h"

#include "ui/AboutBox.h"
#include "ui/EditTrackNameForm.h"
#include "ui/ID3EditForm.h"
#include "ui/MainForm.h"
#include "ui/NoDeviceHintForm.h"
#include "ui/NewRecordFileForm.h"
#include "ui/OggPlayerForm.h"
#include "ui/OptionSetForm.h"
#include "ui/QueryCDDBForm.h"
#include "ui/RecordForm.h"
#include "ui/ReleaseChooserForm.h"
#include "ui/RipForm.h"
#include "ui/RipSummaryForm.h"
#include "ui/StopQueryForm.h"

namespace trackmill {
namespace {

template <typename Form>
std::unique_ptr<QWidget> Make() {
  return std::make_unique<Form>();
}

// The job window as it opens, before its job starts (it starts only when shown).
std::unique_ptr<QWidget> MakeRipForm() {
  return std::make_unique<TRipForm>(nullptr, 1, nullptr, JobItems(), nullptr, nullptr);
}

constexpr FormFactory kForms[] = {
    &Make<TMainForm>,
    &MakeRipForm,
    &Make<RipSummaryForm>,
    &Make<TfrmEditTrackName>,
    &Make<TfrmNoDeviceHint>,
    &Make<TAboutBox>,
    &Make<TfrmOggPlayer>,
    &Make<TfrmRecord>,
    &Make<TfrmNewRecordFile>,
    &Make<TfrmReleaseChooser>,
    &Make<TfrmID3Edit>,
    &Make<TfrmQueryCDDB>,
    &Make<TfrmStopQuery>,
    &Make<TOptionSetForm>,
};

}  // namespace

std::span<const FormFactory> FormFactories() { return kForms; }

}  // namespace trackmill
