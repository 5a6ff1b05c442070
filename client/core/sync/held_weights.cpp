#include "client/core/sync/held_weights.h"

#include <algorithm>

#include "client/core/users/file_aside.h"
#include "common/xml/xml_document.h"
#include "platform/file_io.h"
#include "platform/number_text.h"

namespace {

constexpr const char* kRoot = "HeldList";
constexpr const char* kReading = "scaledata";
constexpr std::string_view kPending = "pending";
constexpr std::string_view kUnassigned = "unassigned";
constexpr std::string_view kEmptyList =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<HeldList>\r\n</HeldList>\r\n";
// No scale weighs more; anything beyond is not a reading.
constexpr double kMaxKg = 500.0;
constexpr size_t kMaxDateText = 32;

void AddReading(XmlElement& list, const WeightRecord& w, std::string_view state) {
  XmlElement& e = list.AddChild(kReading);
  e.AddAttribute("weight", platform::FixedText(w.weight, 1));
  e.AddAttribute("time", w.time);
  e.AddAttribute("exacttime", w.exacttime);
  e.AddAttribute("state", state);
}

// Digits and dashes, as the scale part writes its dates.
bool IsDateText(std::string_view text) {
  return !text.empty() && text.size() <= kMaxDateText &&
         std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

std::optional<WeightRecord> ReadReading(const XmlElement& e) {
  if (e.Name() != kReading) return std::nullopt;
  std::optional<double> kg = platform::LeadingDecimal(e.AttributeValue("weight", ""));
  WeightRecord w;
  w.time = e.AttributeValue("time", "");
  w.exacttime = e.AttributeValue("exacttime", "");
  if (!kg || !(*kg > 0 && *kg < kMaxKg) || !IsDateText(w.time) || !IsDateText(w.exacttime)) return std::nullopt;
  w.weight = static_cast<float>(*kg);
  return w;
}

bool SameReading(const WeightRecord& a, const WeightRecord& b) {
  return a.exacttime == b.exacttime && platform::FixedText(a.weight, 1) == platform::FixedText(b.weight, 1);
}

bool HeldByUser(const WeightRecord& w, const UserList& users) {
  return std::any_of(users.begin(), users.end(), [&](const auto& user) {
    return std::any_of(user->datalist.begin(), user->datalist.end(),
                       [&](const WeightRecord& own) { return SameReading(own, w); });
  });
}

}  // namespace

HeldWeights::HeldWeights(PendingWeights& pending, std::string path) : pending_(pending), path_(std::move(path)) {
  pending_.SetKeeper(this);
}

HeldWeights::~HeldWeights() { pending_.SetKeeper(nullptr); }

bool HeldWeights::MayHoldMore() const {
  return pending_.Size() + unassigned_.size() + offered_.size() + taken_.size() < kMaxHeld;
}

std::string HeldWeights::Load(const UserList& users) {
  unassigned_.clear();
  offered_.clear();
  taken_.clear();
  if (!platform::PathExists(path_)) return {};
  XmlDocument doc;
  doc.LoadFile(path_);
  bool damaged = doc.State() != XmlDocument::Read || doc.Root().Name() != kRoot;
  if (doc.State() != XmlDocument::Read) {
    // Cut short: the readings before the cut.
    if (std::optional<XmlDocument> before = ReadBeforeDamage(path_, "/>", kRoot)) doc = std::move(*before);
  }
  // Up to the bound, readable readings are kept from any file; what is beyond was not written here.
  size_t held = pending_.Size();
  // The file is written once, after reading it; not once per reading put back.
  pending_.SetKeeper(nullptr);
  for (const auto& child : doc.Root().Children()) {
    std::optional<WeightRecord> w = ReadReading(*child);
    if (!w || held >= kMaxHeld) {
      damaged = true;
      continue;
    }
    if (HeldByUser(*w, users)) continue;
    ++held;
    if (child->AttributeValue("state", "") == kPending) {
      pending_.Add(std::move(*w));
    } else {
      unassigned_.push_back(std::move(*w));
    }
  }
  pending_.SetKeeper(this);
  if (!damaged) return {};
  std::optional<std::string> aside = SetFileAside(path_, kEmptyList);
  Save();
  return aside.value_or(std::string());
}

void HeldWeights::Offer(const std::vector<WeightRecord>& offered) {
  offered_.insert(offered_.end(), offered.begin(), offered.end());
}

void HeldWeights::AddUnassigned(WeightRecord reading) {
  // A reading handed over and not settled comes back from where it went.
  for (std::vector<WeightRecord>* list : {&offered_, &taken_}) {
    auto it = std::find_if(list->begin(), list->end(), [&](const WeightRecord& w) { return SameReading(w, reading); });
    if (it != list->end()) {
      list->erase(it);
      break;
    }
  }
  unassigned_.push_back(std::move(reading));
}

std::optional<WeightRecord> HeldWeights::TakeUnassigned(size_t index) {
  if (index >= unassigned_.size()) return std::nullopt;
  WeightRecord w = unassigned_[index];
  unassigned_.erase(unassigned_.begin() + static_cast<std::ptrdiff_t>(index));
  taken_.push_back(w);
  return w;
}

bool HeldWeights::Settle() {
  // The user file holds them now: should this write fail, the copies left in this file are
  // recognised as the users' at the next load.
  offered_.clear();
  taken_.clear();
  return Save();
}

bool HeldWeights::Discard(size_t index) {
  if (index >= unassigned_.size()) return false;
  WeightRecord w = unassigned_[index];
  unassigned_.erase(unassigned_.begin() + static_cast<std::ptrdiff_t>(index));
  if (Save()) return true;
  unassigned_.insert(unassigned_.begin() + static_cast<std::ptrdiff_t>(index), std::move(w));
  return false;
}

bool HeldWeights::Save() const {
  XmlDocument doc;
  doc.LoadText(kEmptyList);
  for (const WeightRecord& w : pending_.Readings()) AddReading(doc.Root(), w, kPending);
  for (const WeightRecord& w : offered_) AddReading(doc.Root(), w, kPending);
  for (const WeightRecord& w : unassigned_) AddReading(doc.Root(), w, kUnassigned);
  for (const WeightRecord& w : taken_) AddReading(doc.Root(), w, kUnassigned);
  return doc.Save(path_, platform::FileAccess::OwnerOnly);
}
