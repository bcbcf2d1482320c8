#pragma once
#include <QObject>
#include <deque>
#include <memory>
#include <vector>

#include "jobs/EncodeSlot.h"

// The encodes of one job, run by one encoder slot or several at once (EncodeSlot: which files
// they write follows from EncodeRules). Encodes start in the order they were added as slots
// come free; ItemEnded reports them in the order they end, always from the event loop. The
// settings the encoders use are the snapshot given at construction, so nothing changes under
// running encoders.
//
// Main thread only. Stop() ends every encode at once without a report; destroying the pool
// stops it. The rules' question and runners are not owned and must outlive the pool.
namespace trackmill {

class TEncoderPool : public QObject {
  Q_OBJECT
 public:
  TEncoderPool(Encoder encoder, int jobKind, int slotCount, const TSettings& settings, EncodeRules rules,
               QObject* parent = nullptr);
  ~TEncoderPool() override;

  void Add(PoolEncode encode);
  void Stop();
  bool Idle() const;
  // The lowest item still encoding; -1 when none runs.
  int OldestRunningItem() const;
  // The slot encoding the item; null when none does.
  const EncodeSlot* SlotOf(int item) const;

 signals:
  void ItemEnded(int item, const StepVerdict& verdict);
  void ProgressChanged();

 private:
  void StartQueued();

  TSettings settings_;
  EncodeRules rules_;
  std::vector<std::unique_ptr<EncodeSlot>> slots_;
  std::deque<PoolEncode> queue_;
};

}  // namespace trackmill
