#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A disc image written by the discimage tool into its own temporary folder, with the raw
// audio each track must extract to.
namespace trackmill {
class CdDrive;
}

namespace trackmill::test {

class TestDisc {
 public:
  // trackSpecs: discimage --track values ("LEN[:PREGAP]"); extra: further tool arguments.
  explicit TestDisc(const QStringList& trackSpecs, const QStringList& extra = {});
  bool Ok() const { return ok_; }
  QString Error() const { return error_; }
  QString CuePath() const { return dir_.filePath("disc.cue"); }
  QString BinPath() const { return dir_.filePath("disc.bin"); }
  QString Folder() const { return dir_.path(); }
  // Expected extraction of track n (1-based).
  QByteArray ExpectedTrack(int track) const;

 private:
  QTemporaryDir dir_;
  bool ok_ = false;
  QString error_;
};


// The disc's image opened as the first drive of the list, with map as its damage map.
std::shared_ptr<CdDrive> OpenWithDamageMap(const TestDisc& disc, const QByteArray& map);

}  // namespace trackmill::test
