// A long session in one process: 10,000 clicks, 1,000 panel open-and-close cycles with edits,
// and 1,000 activations and releases, interleaved in rounds. After a warm-up, the heap in use
// (glibc's count of allocated bytes) must stay flat: a module that kept anything per click,
// per panel cycle or per activation would show as growth at the checkpoints.
//
// TAVERIN_SOAK_SHORT=1 runs a twentieth of the rounds and leaves out the heap measurement
// (for Valgrind, whose allocator glibc's counts do not see; it reports leaks itself).
#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include "fixture.h"

namespace {

size_t heap_in_use() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

bool short_run() {
    const char* s = std::getenv("TAVERIN_SOAK_SHORT");
    return s && *s && *s != '0';
}

}  // namespace

class SoakTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        // A focal-distance envelope: clicks at new times add keys, at known times change them.
        host::build_test_scene(h.scene, true);
        h.record.enabled = false;
        activate_ok();
    }

    // Ten clicks, with drags and redraws between them, at one of ten scene times.
    void clicks(int round) {
        h.scene.time = (round % 10) * 0.5;
        for (int i = 0; i < 10; ++i) {
            h.click(i % 3, 40.0 + 37 * i, 30.0 + 23 * ((i + round) % 7));
            h.mouse_move(i - 5);
            h.mouse_up();
            h.draw();
        }
    }

    // The user opens the panel, edits every kind of control, and closes it again.
    void panel_cycle(int round) {
        h.open_panel();
        h.user_choose(c(kOriginChoice), round % 2);
        h.user_choose(c(kMethodChoice), (round / 2) % 2);
        h.user_type(c(kH), round * 0.25);
        h.user_type(c(kY), -round * 0.5);
        h.user_drag(c(kPDrag), round % 9 - 4);
        h.user_drag(c(kZDrag), 2);
        h.user_select_item(c(kItemList), host::list_id(round % 3));
        h.user_press(c(kApply));
        h.mouse_move(3);
        h.mouse_up();
        h.close_panel();
    }

    void reactivate() {
        h.release();
        ASSERT_EQ(h.activate(), 0);
        h.forget_destroyed_panels();
    }

    void round(int r) {
        clicks(r);
        panel_cycle(r);
        reactivate();
        h.record.clear();
    }
};

TEST_F(SoakTest, TenThousandClicksAThousandPanelCyclesAndActivationsKeepTheHeapFlat) {
    const int rounds = short_run() ? 50 : 1000;
    const int warm_up = short_run() ? 10 : 50;
    for (int r = 0; r < warm_up; ++r) round(r);
    const size_t baseline = heap_in_use();

    // Less than what one leaked instance per activation would add over a checkpoint interval.
    constexpr size_t kTolerance = 4096;
    size_t highest = baseline;
    for (int r = warm_up; r < rounds; ++r) {
        round(r);
        if (short_run() || (r + 1) % 100 != 0) continue;
        const size_t now = heap_in_use();
        highest = std::max(highest, now);
        EXPECT_LE(now, baseline + kTolerance) << "after round " << r + 1 << ": " << now - baseline << " bytes more than after the warm-up";
    }
    if (!short_run())
        std::printf("heap in use after the warm-up %zu bytes, highest at a checkpoint %zu (+%zu)\n", baseline, highest, highest - baseline);
    EXPECT_EQ(h.panels.size(), 1u);
    // Every click hit something and keyed the focal distance at one of the ten times.
    ASSERT_NE(h.scene.camera.focal_envelope(), nullptr);
    EXPECT_EQ(h.scene.camera.focal_envelope()->keys.size(), 10u);
}
