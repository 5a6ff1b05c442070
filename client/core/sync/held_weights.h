#pragma once
// HeldWeights: the scale readings the client holds outside every user's list, kept in "unassigned.xml"
// beside the user file so that none is lost when the client ends: those decoded and not yet offered to
// the users (the pending list, written before the scale is told it may forget them) and those no
// user took (the unassigned list, which the user gives to an account or discards). Readings handed
// to a user stay in the file, as they were, until the user file holds them (Settle).
//
// Bound: at most kMaxHeld readings wait in the two lists together. While that many wait, the scale's
// new readings are not acknowledged, so the scale keeps them in its own memory and sends them again
// once the user has given or discarded some; the main window shows that the list is full.
// Main-window thread only.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "client/core/devices/pending_weights.h"
#include "client/core/users/user_store.h"

class HeldWeights : private PendingWeights::Keeper {
 public:
  static constexpr const char* kFileName = "unassigned.xml";
  static constexpr size_t kMaxHeld = 500;

  // pending must outlive this object, which keeps its readings from now on.
  HeldWeights(PendingWeights& pending, std::string path);
  ~HeldWeights() override;
  HeldWeights(const HeldWeights&) = delete;
  HeldWeights& operator=(const HeldWeights&) = delete;

  // Reads the file: pending readings back into the pending list, the unassigned list anew. A reading
  // that one of users already holds was handed over before the file could say so, and is dropped. A
  // damaged file is kept beside it and its readable readings are kept; returns the copy's path then,
  // empty otherwise.
  std::string Load(const UserList& users);

  PendingWeights& Pending() { return pending_; }
  const std::vector<WeightRecord>& Unassigned() const { return unassigned_; }
  bool Full() const { return !MayHoldMore(); }

  // A sync pass hands the readings it took from the pending list over to users (or to the unassigned
  // list with AddUnassigned): until Settle they stay in the file as pending.
  void Offer(const std::vector<WeightRecord>& offered);
  // Adds reading to the unassigned list (in memory; Save or Settle writes it), also when it comes back
  // from a hand-over that did not reach the user file.
  void AddUnassigned(WeightRecord reading);
  // Takes unassigned reading index out of the list, to give it to a user; until Settle it stays in
  // the file as unassigned. Nothing when index is beyond the list.
  std::optional<WeightRecord> TakeUnassigned(size_t index);
  // The user file holds every reading handed over: they leave this file. False when it could not be
  // written (it is written again with the next change).
  bool Settle();
  // Readings handed over and not yet settled.
  bool Unsettled() const { return !offered_.empty() || !taken_.empty(); }
  // Discards unassigned reading index for good. False when index is beyond the list or the file
  // could not be written (the reading is then kept).
  bool Discard(size_t index);

  // Writes both lists; false when the file could not be written.
  bool Save() const;

 private:
  bool MayHoldMore() const override;
  bool Keep() override { return Save(); }

  PendingWeights& pending_;
  std::string path_;
  std::vector<WeightRecord> unassigned_;
  std::vector<WeightRecord> offered_;  // handed over from the pending list, not yet settled
  std::vector<WeightRecord> taken_;    // handed over from the unassigned list, not yet settled
};
