#include "app/cli/Commands.h"
#include "app/cli/CommandLine.h"
#include "app/cli/DriveOption.h"
#include "cd/Drive.h"
#include "cd/TrackList.h"
#include "settings/LangString.h"
#include "settings/Settings.h"

namespace trackmill::cli {

// Lists the disc as the main window does: number, title, length, size, tab-separated, then
// the drive description, and the line of an image's damage map. Nothing is saved.
int RunTocCommand(const QStringList& arguments) {
  LoadSettingsOrWarn();
  QStringList args = arguments;
  const DriveChoice drive = TakeDriveOption(args);
  if (!drive.error.isEmpty()) return Fail(drive.error, 2);
  if (!args.isEmpty()) return Fail(QStringLiteral("unexpected argument \"%1\"").arg(args.first()), 2);

  TrackList list;
  if (const QString status = OpenListedDisc(drive, list); !status.isEmpty()) return Fail(status);
  for (const TrackRow& row : list.Rows)
    Out() << row.Caption << '\t' << row.Title << '\t' << row.Length << '\t' << row.Size << '\n';
  Out() << list.DriveDescription << Qt::endl;
  if (const QString damage = list.Drive->DamageMapLine(); !damage.isEmpty()) Out() << damage << Qt::endl;
  return 0;
}

}  // namespace trackmill::cli
