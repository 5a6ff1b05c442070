#pragma once
// PendingWeights: the scale readings the main window has decoded and the sync pass has not yet given
// to a user. Main-window thread only.

#include <vector>

#include "client/core/users/user_record.h"

class PendingWeights {
 public:
  // Readings wait here at most until the next sync pass; a flood beyond this is refused rather than
  // held, and a refused reading is not acknowledged, so the scale keeps it.
  static constexpr size_t kMaxReadings = 4096;

  // Makes the list durable: a reading is acknowledged to the scale only once its keeper has it.
  class Keeper {
   public:
    virtual ~Keeper() = default;
    // False when no further reading may be held now.
    virtual bool MayHoldMore() const = 0;
    // Called with the reading added; false when it could not be kept.
    virtual bool Keep() = 0;
  };
  // keeper must outlive the list or be replaced by null first.
  void SetKeeper(Keeper* keeper) { keeper_ = keeper; }

  // False when the list is full or the reading could not be kept; the list is then as before.
  bool Add(WeightRecord reading);
  bool Empty() const { return readings_.empty(); }
  size_t Size() const { return readings_.size(); }
  const std::vector<WeightRecord>& Readings() const { return readings_; }

  // Hands every reading over, the last added first, and leaves the list empty.
  std::vector<WeightRecord> TakeNewestFirst();

 private:
  std::vector<WeightRecord> readings_;
  Keeper* keeper_ = nullptr;
};
