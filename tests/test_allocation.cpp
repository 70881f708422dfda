// The draw, pick and focus paths allocate nothing on the heap. The allocation functions are
// replaced for this whole program; an allocation counts when it happens outside the stand-in
// host's own service code, that is, in the module.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "host/test_scene.h"
#include "host/host.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_module_allocations{0};
void note() {
    if (!g_counting.load(std::memory_order_relaxed)) return;
    const host::Host* h = host::Host::current();
    if (!h || !h->in_service()) ++g_module_allocations;
}
}  // namespace

extern "C" void* malloc(size_t n) {
    note();
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t a, size_t b) {
    note();
    return __libc_calloc(a, b);
}
extern "C" void* realloc(void* p, size_t n) {
    note();
    return __libc_realloc(p, n);
}
extern "C" void* memalign(size_t a, size_t n) {
    note();
    return __libc_memalign(a, n);
}

class AllocationTest : public ::testing::Test {
protected:
    host::Host h;
    void SetUp() override {
        host::build_test_scene(h.scene, false);
        std::string error;
        ASSERT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
        ASSERT_EQ(h.activate(), 0);
        h.record.draws.reserve(1 << 16);
        h.record.calls.reserve(1 << 16);
    }
    long count(const std::function<void()>& f) {
        g_module_allocations = 0;
        g_counting = true;
        f();
        g_counting = false;
        return g_module_allocations.load();
    }
};

TEST_F(AllocationTest, TheCountingHookSeesAllocations) {
    EXPECT_GT(count([] { std::free(std::malloc(16)); }), 0);
}

TEST_F(AllocationTest, DrawAllocatesNothing) {
    EXPECT_EQ(count([&] {
                  for (int i = 0; i < 100; ++i) h.draw();
              }),
              0);
    EXPECT_EQ(h.record.draws.size(), 600u);
}

TEST_F(AllocationTest, PickAndFocusByCommandAllocateNothing) {
    h.record.commands.reserve(64);
    h.scene.camera.flags = 0;
    EXPECT_EQ(count([&] {
                  for (int i = 0; i < 10; ++i) h.mouse_down(0, {0, 0, 1});
              }),
              0);
    EXPECT_EQ(h.scene.camera.focal_distance, 7.0);
}

TEST_F(AllocationTest, FocusByEnvelopeKeyAllocatesNothing) {
    h.scene.camera.add_standard_channels(true);
    h.scene.camera.focal_envelope()->create(0.0, 1.0);
    EXPECT_EQ(count([&] {
                  for (int i = 0; i < 10; ++i) h.mouse_down(0, {0, 0, 1});
              }),
              0);
    EXPECT_EQ(h.scene.camera.focal_envelope()->keys[0]->value, 7.0);
}

TEST_F(AllocationTest, PickOnAFailedQueryAllocatesNothing) {
    h.options.spatial_create_fails = true;
    EXPECT_EQ(count([&] { h.mouse_down(0, {0, 0, 1}); }), 0);
}
