#pragma once
#include <QObject>

#include <atomic>
#include <vector>

#include "audio/core/AuConverter.h"

// TStereoBalance: a converter that makes mono input stereo and applies a left/right balance
// (see BalanceLaw.h: 0.0 left only, 0.5 both untouched, 1.0 right only). Input with more
// than two channels passes through untouched. At most 32768 bytes go out per read.
//
// Threads: Balance may be changed from the main thread while a run is going (the player's
// control); it takes effect with the next block. Everything else as TAuConverter.
// Errors (EAuException): "Input not assigned" when opening or asking the channel count
// without an input; "The Stream is not opened" when reading before opening.
namespace trackmill {

class TStereoBalance : public TAuConverter {
  Q_OBJECT
 public:
  static constexpr int kWorkBufferBytes = 32768;

  explicit TStereoBalance(QObject* parent = nullptr);
  ~TStereoBalance() override;

  int GetChannels() override;

  float Balance() const { return balance_.load(); }
  // Values outside 0.0..1.0 are ignored.
  void SetBalance(float balance);

 protected:
  void OpenInput() override;
  void CloseInput() override;
  void ReadBlock(const char*& data, int& byteCount) override;

 private:
  std::atomic<float> balance_{0.5f};
  bool open_ = false;
  int bits_ = 0;
  int inChannels_ = 0;
  std::vector<char> mono_;
  std::vector<char> work_;
};

}  // namespace trackmill
