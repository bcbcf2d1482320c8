#include "app/shell/ExtractCommand.h"

#include <QDir>
#include <QFileInfo>

#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill {
namespace {

QString NotExistText() {
  return LangString("RES_Directory_Not_Exist");
}

}  // namespace

bool CheckOutputFolder(TUserPrompts& prompts) {
  if (QFileInfo(Settings().OutputFolder).isDir()) return true;
  prompts.Information(NotExistText() +
                      LangString("RES_Check_Output"));
  return false;
}

ExtractPlan PlanExtract(const TrackList& list, const std::function<bool()>& fallbackHasDrive,
                        TUserPrompts& prompts) {
  ExtractPlan plan;
  JobItems items = list.ExtractItems();
  if (items.empty()) {
    prompts.Information(LangString("RES_Select_Track"));
    return plan;
  }
  const QString folder = Settings().OutputFolder;
  if (!QFileInfo(folder).isDir()) {
    const QString question = folder + "," + NotExistText() + "\n" +
                             LangString("RES_Create_Directory");
    if (!prompts.AskYesNo(question)) return plan;
    // The whole path: the default folder lies in a music folder that a fresh account lacks.
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
      prompts.Error("Cannot create " + folder);
      return plan;
    }
  }
  const bool fallback = !list.Drive;
  if (fallback && !fallbackHasDrive()) {
    prompts.Information(LangString("RES_Get_CDHandle"));
    return plan;
  }
  if (Settings().EnableRipTime && Settings().RipTime == 0) {
    prompts.Information(LangString("RES_Select_0"));
    return plan;
  }
  if (!CheckOutputFolder(prompts)) return plan;
  plan.items = std::move(items);
  plan.route = fallback ? ExtractRoute::FallbackWindow : ExtractRoute::JobWindow;
  return plan;
}

}  // namespace trackmill
