// Snapshots of the text buffer stay as they were taken while the buffer is edited, also when
// read on another thread.
#include "core/editor/TextBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <random>
#include <thread>

namespace mireka {
namespace {

std::string Joined(const TextSnapshot& s) {
    std::string out;
    for (std::size_t i = 0; i < s.PieceCount(); ++i) {
        EXPECT_FALSE(s.Piece(i).empty());
        out += s.Piece(i);
    }
    EXPECT_EQ(static_cast<std::int64_t>(out.size()), s.Length());
    return out;
}

// Inserts and erases inside chunks, across them, splitting and merging them, and new texts.
TEST(TextSnapshot, ManySnapshotsSurviveRandomEdits) {
    std::mt19937 rng(7);
    for (std::size_t cap : {2u, 5u, 32u}) {
        TextBuffer b(cap);
        std::string model;
        std::deque<std::pair<TextSnapshot, std::string>> kept;
        for (int step = 0; step < 300; ++step) {
            const auto len = static_cast<Offset>(model.size());
            const Offset a = static_cast<Offset>(rng() % (len + 1));
            if (step % 50 == 49) {
                model = std::string(rng() % 100, 's');
                b.SetText(model);
            } else if (rng() % 3 != 0 || len == 0) {
                const std::string ins(rng() % 9 + 1, static_cast<char>('a' + step % 26));
                b.Insert(a, ins);
                model.insert(static_cast<std::size_t>(a), ins);
            } else {
                const Offset e = std::min<Offset>(len, a + static_cast<Offset>(rng() % 20));
                b.Erase(a, e);
                model.erase(static_cast<std::size_t>(a), static_cast<std::size_t>(e - a));
            }
            if (step % 4 == 0) kept.emplace_back(b.Snapshot(), model);
            if (kept.size() > 8) kept.pop_front();
            for (const auto& [snapshot, text] : kept)
                ASSERT_EQ(Joined(snapshot), text) << "step " << step << ", capacity " << cap;
        }
        EXPECT_EQ(b.Text(), model);
    }
}

TEST(TextSnapshot, OnlySharedChunksAreCopied) {
    TextBuffer b(64);
    b.SetText("abc\r\ndef");
    const char* block = b.Snapshot().Piece(0).data();
    b.Insert(1, "x"); // no snapshot left: edited in place
    const TextSnapshot held = b.Snapshot();
    EXPECT_EQ(held.Piece(0).data(), block);
    b.Insert(1, "y"); // shared: copied first
    const TextSnapshot after = b.Snapshot();
    EXPECT_NE(after.Piece(0).data(), block);
    EXPECT_EQ(held.Text(), "axbc\r\ndef");
    EXPECT_EQ(after.Text(), "ayxbc\r\ndef");
}

TEST(TextSnapshot, IsReadAndDroppedOnAnotherThreadWhileTheBufferIsEdited) {
    TextBuffer b(16);
    b.SetText(std::string(400, '.'));
    std::atomic<int> mismatches{0};
    std::mt19937 rng(3);
    for (int round = 0; round < 20; ++round) {
        std::thread reader([s = b.Snapshot(), text = b.Text(), &mismatches] {
            for (int i = 0; i < 20; ++i)
                if (s.Text() != text) ++mismatches;
        }); // the thread also drops the snapshot
        for (int i = 0; i < 200; ++i) {
            const auto pos = static_cast<Offset>(rng() % static_cast<std::uint64_t>(b.Length()));
            if (i % 2 == 0)
                b.Insert(pos, "xy");
            else
                b.Erase(pos, pos + 1);
        }
        reader.join();
    }
    EXPECT_EQ(mismatches, 0);
    b.CheckInvariant();
}

} // namespace
} // namespace mireka
