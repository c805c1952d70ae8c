// CountGenerator: Poisson-distributed counts from a 64-bit Mersenne Twister, the same on
// every platform for the same generator state (the standard distributions are not, so the
// uniform and Poisson steps are spelled out here).
//
// Means below 10 are drawn by multiplying uniforms; larger ones by Hormann's transformed
// rejection (PTRS). A mean at or below zero, or not finite, gives 0. One object per
// thread; nothing is shared.
#ifndef XRAY_SIM_COUNTGENERATOR_H
#define XRAY_SIM_COUNTGENERATOR_H

#include <cstdint>
#include <random>

namespace xray {

class CountGenerator {
  public:
    explicit CountGenerator(uint64_t state) : fEngine(state) {}

    // Uniform in [0, 1), 53 random bits.
    double Uniform();

    // One Poisson-distributed count of the given mean.
    int64_t Poisson(double mean);

  private:
    int64_t PoissonSmall(double mean);
    int64_t PoissonLarge(double mean);

    std::mt19937_64 fEngine;
};

}  // namespace xray

#endif  // XRAY_SIM_COUNTGENERATOR_H
