#include "common/xml/xml_arena.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

TEST(XmlArena, ReferencesLeadBackToTheirBytesAndTheirArena) {
  XmlArena arena;
  XmlArena::Ref a = arena.Copy("first");
  XmlArena::Ref word = arena.Allocate(sizeof(uint32_t), alignof(uint32_t));
  ASSERT_NE(a, 0u);
  ASSERT_NE(word, 0u);
  EXPECT_EQ(arena.View(a, 5), "first");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(arena.At(word)) % alignof(uint32_t), 0u);
  EXPECT_EQ(XmlArena::RefOf(arena.At(word)), word);
  EXPECT_EQ(&XmlArena::Of(arena.At(word)), &arena);
  EXPECT_EQ(arena.Copy(""), 0u);
}

TEST(XmlArena, ItemsOfEverySizeKeepTheirBytesAcrossSegments) {
  XmlArena arena;
  std::string large(3 * 65536 + 17, 'x');
  large.front() = 'a';
  large.back() = 'z';
  std::vector<std::pair<XmlArena::Ref, std::string>> kept;
  for (int i = 0; i < 5000; ++i) {
    std::string text = std::to_string(i) + std::string(static_cast<size_t>(i % 40), '.');
    if (i == 2500) text = large;  // a block of its own in the middle of small items
    kept.push_back({arena.Copy(text), text});
  }
  for (const auto& [ref, text] : kept) {
    ASSERT_NE(ref, 0u);
    ASSERT_EQ(arena.View(ref, static_cast<uint32_t>(text.size())), text);
  }
  EXPECT_FALSE(arena.Failed());
}

TEST(XmlArena, BoundIsKeptAndClearMakesRoomAgain) {
  XmlArena arena(256 << 10);
  size_t allocated = 0;
  while (arena.Allocate(1000, 1) != 0) allocated += 1000;
  EXPECT_TRUE(arena.Failed());
  EXPECT_LE(allocated, size_t{256} << 10);
  EXPECT_GT(allocated, size_t{200} << 10);
  EXPECT_EQ(arena.Allocate(XmlArena::kLargeItem + 1, 1), 0u);  // no way around the bound

  arena.Clear();
  EXPECT_FALSE(arena.Failed());
  XmlArena::Ref again = arena.Copy("again");
  ASSERT_NE(again, 0u);
  EXPECT_EQ(arena.View(again, 5), "again");
}

// Segments go back to a shared pool and are handed out again: an arena that takes a segment another
// arena filled must own it wholly (its header, its slot) however the arenas of several threads
// interleave, and emptying the pool in between takes nothing from a live arena.
TEST(XmlArena, PooledSegmentsPassBetweenArenasOfSeveralThreadsIntact) {
  auto fillAndCheck = [](int seed) {
    for (int round = 0; round < 20; ++round) {
      XmlArena arena;
      std::vector<std::pair<XmlArena::Ref, std::string>> kept;
      for (int i = 0; i < 3000; ++i) {
        std::string text = std::to_string(seed * 100000 + round * 1000 + i) + std::string(static_cast<size_t>(i % 50), '-');
        kept.push_back({arena.Copy(text), text});
      }
      if (round % 7 == 3) XmlArena::ReleasePooledSegments();
      for (const auto& [ref, text] : kept) {
        if (arena.View(ref, static_cast<uint32_t>(text.size())) != text) return false;
        if (&XmlArena::Of(arena.At(ref)) != &arena || XmlArena::RefOf(arena.At(ref)) != ref) return false;
      }
    }
    return true;
  };
  std::vector<char> ok(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { ok[static_cast<size_t>(t)] = fillAndCheck(t) ? 1 : 0; });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(ok, std::vector<char>(4, 1));
}
