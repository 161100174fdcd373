#pragma once

// Caps the pixel loops at AVX2 for the life of the object (when asked to), so that a machine
// with AVX-512 also measures what an AVX2-only one runs; the widest the processor has again
// afterwards. Benchmarks take it as an argument named "avx2".

#include "platform/graphics/ProjectiveMapper.h"

class PixelKernelCap {
public:
    explicit PixelKernelCap(bool avx2) {
        if (avx2) gfx::usePixelKernels(gfx::PixelKernels::Avx2);
    }
    ~PixelKernelCap() { gfx::usePixelKernels(gfx::PixelKernels::Avx512); }
    PixelKernelCap(const PixelKernelCap&) = delete;
    PixelKernelCap& operator=(const PixelKernelCap&) = delete;
};
