#include "jobs/EncoderPool.h"

#include "jobs/EncoderCommands.h"

namespace trackmill {

TEncoderPool::TEncoderPool(Encoder encoder, int jobKind, int slotCount, const TSettings& settings,
                           EncodeRules rules, QObject* parent)
    : QObject(parent), settings_(settings), rules_(std::move(rules)) {
  NormalizeWmaSetting(settings_);
  for (int i = 0; i < std::max(1, slotCount); ++i) {
    auto slot = std::make_unique<EncodeSlot>(SlotSetup{encoder, jobKind, settings_, rules_});
    connect(slot.get(), &EncodeSlot::ProgressChanged, this, &TEncoderPool::ProgressChanged);
    connect(slot.get(), &EncodeSlot::Ended, this, [this](int item, const StepVerdict& verdict) {
      emit ItemEnded(item, verdict);
      StartQueued();
    });
    slots_.push_back(std::move(slot));
  }
}

TEncoderPool::~TEncoderPool() { Stop(); }

void TEncoderPool::Add(PoolEncode encode) {
  queue_.push_back(std::move(encode));
  StartQueued();
}

void TEncoderPool::Stop() {
  queue_.clear();
  for (auto& slot : slots_) slot->Stop();
}

bool TEncoderPool::Idle() const {
  return queue_.empty() && std::none_of(slots_.begin(), slots_.end(), [](const auto& s) { return s->Busy(); });
}

int TEncoderPool::OldestRunningItem() const {
  int oldest = -1;
  for (const auto& slot : slots_)
    if (slot->Busy() && (oldest < 0 || slot->Item() < oldest)) oldest = slot->Item();
  return oldest;
}

const EncodeSlot* TEncoderPool::SlotOf(int item) const {
  for (const auto& slot : slots_)
    if (slot->Busy() && slot->Item() == item) return slot.get();
  return nullptr;
}

void TEncoderPool::StartQueued() {
  for (auto& slot : slots_) {
    if (queue_.empty()) return;
    if (slot->Busy()) continue;
    PoolEncode next = std::move(queue_.front());
    queue_.pop_front();
    slot->Start(std::move(next));
  }
}

}  // namespace trackmill
