#include "engine/samplekernel.h"

#include <cmath>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VANTREL_AVX2 1
#endif

namespace vantrel {

namespace {

// The wave function turns angles with a value of pi that is short of the
// real one by this much: arctan(..) + that pi is the true angle minus it.
constexpr double pishort = 3.141592653589793 - pivalue;

inline std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

bool cpuhasavx2() {
#ifdef VANTREL_AVX2
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
#else
    return false;
#endif
}

}  // namespace

void LaneRandom::seed(Random& from) {
    for (int lane = 0; lane < 8; ++lane) {
        Random one(from.next());
        for (int w = 0; w < 4; ++w) s[w][lane] = one.state()[w];
    }
}

void LaneRandom::next8(std::uint64_t out[8]) {
    for (int i = 0; i < 8; ++i) {
        out[i] = rotl(s[1][i] * 5, 7) * 9;
        const std::uint64_t t = s[1][i] << 17;
        s[2][i] ^= s[0][i];
        s[3][i] ^= s[1][i];
        s[1][i] ^= s[2][i];
        s[0][i] ^= s[3][i];
        s[2][i] ^= t;
        s[3][i] = rotl(s[3][i], 45);
    }
}

BatchOrbital::BatchOrbital(const Orbital& o)
    : orbital_(&o),
      rhoscale_(2.0 * o.z / o.n / bohr),
      l_(o.l),
      a_(o.m < 0 ? -o.m : o.m),
      m_(o.m),
      oddplane_((o.l + a_) % 2 != 0),
      fast_(cpuhasavx2()) {
    const int nr = o.n - o.l;
    radialcoef_.assign(o.radialcoef.begin(),
                       o.radialcoef.begin() + std::min<std::size_t>(nr > 0 ? nr : 0, o.radialcoef.size()));
    if (radialcoef_.empty()) radialcoef_.push_back(0);
    for (int k = a_; k <= l_; ++k)
        angularcoef_.push_back(k < static_cast<int>(o.angularcoef.size()) ? o.angularcoef[k] : 0);
    if (angularcoef_.empty()) angularcoef_.push_back(0);
}

#ifdef VANTREL_AVX2
namespace {

#define AVX2 __attribute__((target("avx2,fma"), always_inline)) inline
#define AVX2ENTRY __attribute__((target("avx2,fma")))

AVX2 __m256d bc(double v) { return _mm256_set1_pd(v); }

// e^x for x <= 0, to about one unit in the last place; underflows to
// subnormals and 0 as the library function does.
AVX2 __m256d expnegative(__m256d x) {
    x = _mm256_max_pd(x, bc(-1400.0));
    const __m256d n = _mm256_round_pd(_mm256_mul_pd(x, bc(1.4426950408889634)),
                                      _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    __m256d r = _mm256_fnmadd_pd(n, bc(6.93147180369123816490e-01), x);
    r = _mm256_fnmadd_pd(n, bc(1.90821492927058770002e-10), r);
    // Taylor series to degree 13 (remainder below 1e-17 on |r| <= ln2/2),
    // summed in Estrin's order so that its dependency chain stays short
    static constexpr double c[14] = {1.0,
                                     1.0,
                                     1.0 / 2,
                                     1.0 / 6,
                                     1.0 / 24,
                                     1.0 / 120,
                                     1.0 / 720,
                                     1.0 / 5040,
                                     1.0 / 40320,
                                     1.0 / 362880,
                                     1.0 / 3628800,
                                     1.0 / 39916800,
                                     1.0 / 479001600,
                                     1.0 / 6227020800};
    const __m256d r2 = _mm256_mul_pd(r, r);
    const __m256d r4 = _mm256_mul_pd(r2, r2);
    const __m256d r8 = _mm256_mul_pd(r4, r4);
    const __m256d q0 = _mm256_fmadd_pd(bc(c[1]), r, bc(c[0]));
    const __m256d q1 = _mm256_fmadd_pd(bc(c[3]), r, bc(c[2]));
    const __m256d q2 = _mm256_fmadd_pd(bc(c[5]), r, bc(c[4]));
    const __m256d q3 = _mm256_fmadd_pd(bc(c[7]), r, bc(c[6]));
    const __m256d q4 = _mm256_fmadd_pd(bc(c[9]), r, bc(c[8]));
    const __m256d q5 = _mm256_fmadd_pd(bc(c[11]), r, bc(c[10]));
    const __m256d q6 = _mm256_fmadd_pd(bc(c[13]), r, bc(c[12]));
    const __m256d t0 = _mm256_fmadd_pd(q1, r2, q0);
    const __m256d t1 = _mm256_fmadd_pd(q3, r2, q2);
    const __m256d t2 = _mm256_fmadd_pd(q5, r2, q4);
    const __m256d u0 = _mm256_fmadd_pd(t1, r4, t0);
    const __m256d u1 = _mm256_fmadd_pd(q6, r4, t2);
    const __m256d p = _mm256_fmadd_pd(u1, r8, u0);
    // 2^n in two halves so that n down to -2020 still scales correctly
    const __m256d n1 = _mm256_floor_pd(_mm256_mul_pd(n, bc(0.5)));
    const __m256d n2 = _mm256_sub_pd(n, n1);
    const __m256d magic = bc(1023.0 + 0x1.0p52);
    const __m256d s1 = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(_mm256_add_pd(n1, magic)), 52));
    const __m256d s2 = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_castpd_si256(_mm256_add_pd(n2, magic)), 52));
    return _mm256_mul_pd(_mm256_mul_pd(p, s1), s2);
}

AVX2 __m256d absval(__m256d v) { return _mm256_andnot_pd(bc(-0.0), v); }

AVX2 __m256d select(__m256d mask, __m256d yes, __m256d no) { return _mm256_blendv_pd(no, yes, mask); }

struct Consts {
    double rhoscale;
    int l, a, m;
    bool oddplane;
    const double* rc;
    int nr;
    const double* ac;
    int na;
};

// The radial factor R at four points, with r.
AVX2 __m256d radial4(const Consts& k, __m256d x, __m256d y, __m256d z, __m256d& rout) {
    const __m256d s = _mm256_fmadd_pd(y, y, _mm256_mul_pd(x, x));
    const __m256d r = _mm256_sqrt_pd(_mm256_fmadd_pd(z, z, s));
    rout = r;
    const __m256d rho = _mm256_mul_pd(r, bc(k.rhoscale));
    const __m256d minusrho = _mm256_sub_pd(_mm256_setzero_pd(), rho);
    __m256d poly = bc(k.rc[k.nr - 1]);
    for (int i = k.nr - 2; i >= 0; --i) poly = _mm256_fmadd_pd(poly, minusrho, bc(k.rc[i]));
    __m256d power = bc(1.0);
    for (int i = 0; i < k.l; ++i) power = _mm256_mul_pd(power, rho);
    return _mm256_mul_pd(_mm256_mul_pd(power, expnegative(_mm256_mul_pd(rho, bc(-0.5)))), poly);
}

// psi at four points from their radial factor: times the polar factor and
// the azimuthal one, in the wave function's own order of multiplication.
AVX2 __m256d angular4(const Consts& k, __m256d x, __m256d y, __m256d z, __m256d r, __m256d radial) {
    if (k.l == 0) return _mm256_mul_pd(bc(k.ac[0]), radial);  // polar factor constant, azimuthal 1
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = bc(1.0);
    const __m256d s = _mm256_fmadd_pd(y, y, _mm256_mul_pd(x, x));

    // polar angle: z = 0 means cos = 0, sin = 1; below the plane the angle
    // is short by pishort
    const __m256d zzero = _mm256_cmp_pd(z, zero, _CMP_EQ_OQ);
    const __m256d zneg = _mm256_cmp_pd(z, zero, _CMP_LT_OQ);
    const __m256d invr = _mm256_div_pd(one, r);
    const __m256d t = _mm256_sqrt_pd(s);
    __m256d c = _mm256_mul_pd(z, invr);
    __m256d sn = _mm256_mul_pd(t, invr);
    const __m256d dz = _mm256_and_pd(zneg, bc(pishort));
    const __m256d c1 = _mm256_fmadd_pd(dz, sn, c);
    sn = _mm256_fnmadd_pd(dz, c, sn);
    c = select(zzero, zero, c1);
    sn = select(zzero, one, sn);

    // sum over k = |m|..l of (1 - cos)^(l - k) (1 + cos)^(k - |m|) coef(k)
    const __m256d p = _mm256_sub_pd(one, c);
    const __m256d q = _mm256_add_pd(one, c);
    __m256d sum = bc(k.ac[0]);
    __m256d qpow = one;
    for (int j = 1; j < k.na; ++j) {
        qpow = _mm256_mul_pd(qpow, q);
        sum = _mm256_fmadd_pd(sum, p, _mm256_mul_pd(bc(k.ac[j]), qpow));
    }
    __m256d snpow = one;
    for (int i = 0; i < k.a; ++i) snpow = _mm256_mul_pd(snpow, sn);
    __m256d polar = _mm256_mul_pd(absval(snpow), sum);
    if (k.oddplane) polar = select(zzero, zero, polar);
    if (k.m == 0) return _mm256_mul_pd(polar, radial);

    // azimuth: x = 0 means pi/2 whatever the sign of y; both that and the
    // x < 0 half are short by their share of pishort
    const __m256d xzero = _mm256_cmp_pd(x, zero, _CMP_EQ_OQ);
    const __m256d xneg = _mm256_cmp_pd(x, zero, _CMP_LT_OQ);
    const __m256d invt = _mm256_div_pd(one, t);
    const __m256d cphi = select(xzero, zero, _mm256_mul_pd(x, invt));
    const __m256d sphi = select(xzero, one, _mm256_mul_pd(y, invt));
    const __m256d shift = _mm256_or_pd(_mm256_and_pd(xzero, bc(pishort * 0.5 * k.a)),
                                       _mm256_and_pd(xneg, bc(pishort * k.a)));
    __m256d wr = one, wi = zero;
    for (int i = 0; i < k.a; ++i) {
        const __m256d nr = _mm256_fmsub_pd(wr, cphi, _mm256_mul_pd(wi, sphi));
        wi = _mm256_fmadd_pd(wr, sphi, _mm256_mul_pd(wi, cphi));
        wr = nr;
    }
    __m256d phi = k.m > 0 ? _mm256_fmadd_pd(shift, wi, wr) : _mm256_fnmadd_pd(shift, wr, wi);
    phi = _mm256_mul_pd(phi, bc(sqrt2value));
    phi = select(_mm256_cmp_pd(absval(phi), bc(angularzero), _CMP_LT_OQ), zero, phi);
    return _mm256_mul_pd(_mm256_mul_pd(polar, radial), phi);
}

Consts constsof(double rhoscale, int l, int a, int m, bool oddplane, const std::vector<double>& rc,
                const std::vector<double>& ac) {
    return Consts{rhoscale, l, a, m, oddplane, rc.data(), static_cast<int>(rc.size()), ac.data(),
                  static_cast<int>(ac.size())};
}

AVX2ENTRY void evaluateavx2(const Consts& k, const double* x, const double* y, const double* z, int count,
                            double* psi, double* r) {
    for (int i = 0; i < count; i += 4) {
        alignas(32) double bx[4] = {0, 0, 0, 0}, by[4] = {0, 0, 0, 0}, bz[4] = {0, 0, 0, 0};
        const int n = count - i < 4 ? count - i : 4;
        for (int j = 0; j < n; ++j) bx[j] = x[i + j], by[j] = y[i + j], bz[j] = z[i + j];
        const __m256d vx = _mm256_load_pd(bx), vy = _mm256_load_pd(by), vz = _mm256_load_pd(bz);
        __m256d rr;
        const __m256d radial = radial4(k, vx, vy, vz, rr);
        alignas(32) double bp[4], br[4];
        _mm256_store_pd(bp, angular4(k, vx, vy, vz, rr, radial));
        _mm256_store_pd(br, rr);
        for (int j = 0; j < n; ++j) psi[i + j] = bp[j], r[i + j] = br[j];
    }
}

AVX2 __m256i rotlv(__m256i x, int k) {
    return _mm256_or_si256(_mm256_slli_epi64(x, k), _mm256_srli_epi64(x, 64 - k));
}

// One step of four xoshiro256** lanes.
AVX2 __m256i nextv(__m256i& s0, __m256i& s1, __m256i& s2, __m256i& s3) {
    const __m256i s15 = _mm256_add_epi64(_mm256_slli_epi64(s1, 2), s1);
    const __m256i rot = rotlv(s15, 7);
    const __m256i result = _mm256_add_epi64(_mm256_slli_epi64(rot, 3), rot);
    const __m256i t = _mm256_slli_epi64(s1, 17);
    s2 = _mm256_xor_si256(s2, s0);
    s3 = _mm256_xor_si256(s3, s1);
    s1 = _mm256_xor_si256(s1, s2);
    s0 = _mm256_xor_si256(s0, s3);
    s2 = _mm256_xor_si256(s2, t);
    s3 = rotlv(s3, 45);
    return result;
}

// The four signed 32-bit values in the low or high half of a vector.
AVX2 __m256d lowvalues(__m256i w) { return _mm256_cvtepi32_pd(_mm256_castsi256_si128(w)); }
AVX2 __m256d highvalues(__m256i w) { return _mm256_cvtepi32_pd(_mm256_extracti128_si256(w, 1)); }

struct RunArgs {
    double scale;
    double mult[3];  // 0 or 1 when restricted
    bool restricted;
    double maxpsi2;
    bool wantnonzero;
};

// Trials go through in stages over short stretches, so that each stage is
// a small loop whose iterations the processor can overlap.
constexpr int stretch = 128;

struct Stretch {
    alignas(32) double x[stretch], y[stretch], z[stretch], u[stretch], r[stretch], psi[stretch];
};

AVX2ENTRY void runavx2(const Consts& k, const RunArgs& a, LaneRandom& lanes, SampleBlock& b) {
    __m256i s0[2], s1[2], s2[2], s3[2];
    for (int h = 0; h < 2; ++h) {
        s0[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[0][4 * h]));
        s1[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[1][4 * h]));
        s2[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[2][4 * h]));
        s3[h] = _mm256_load_si256(reinterpret_cast<const __m256i*>(&lanes.s[3][4 * h]));
    }
    const __m256d scale = bc(a.scale * 0x1.0p-32);
    const __m256d half = bc(0.5);
    const __m256d unit = bc(0x1.0p-32);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    const __m256d keepx = a.restricted && a.mult[0] == 0 ? zero : all;
    const __m256d keepy = a.restricted && a.mult[1] == 0 ? zero : all;
    const __m256d keepz = a.restricted && a.mult[2] == 0 ? zero : all;
    const __m256d ceiling = bc(a.maxpsi2);
    int nacc = 0;
    int firstnz = sampleblocksize;
    bool looknz = a.wantnonzero;
    Stretch w;
    for (int base = 0; base < sampleblocksize; base += stretch) {
        // x, y, z and the acceptance draw u of eight trials from two steps of
        // the eight lanes: every 64-bit word gives two signed 32-bit values,
        // and v * 2^-32 is uniform in -0.5 <= v < 0.5
        for (int i = 0; i < stretch; i += 8) {
            const __m256i a0 = nextv(s0[0], s1[0], s2[0], s3[0]);
            const __m256i a1 = nextv(s0[1], s1[1], s2[1], s3[1]);
            const __m256i b0 = nextv(s0[0], s1[0], s2[0], s3[0]);
            const __m256i b1 = nextv(s0[1], s1[1], s2[1], s3[1]);
            _mm256_store_pd(w.x + i, _mm256_and_pd(_mm256_mul_pd(lowvalues(a0), scale), keepx));
            _mm256_store_pd(w.x + i + 4, _mm256_and_pd(_mm256_mul_pd(highvalues(a0), scale), keepx));
            _mm256_store_pd(w.y + i, _mm256_and_pd(_mm256_mul_pd(lowvalues(a1), scale), keepy));
            _mm256_store_pd(w.y + i + 4, _mm256_and_pd(_mm256_mul_pd(highvalues(a1), scale), keepy));
            _mm256_store_pd(w.z + i, _mm256_and_pd(_mm256_mul_pd(lowvalues(b0), scale), keepz));
            _mm256_store_pd(w.z + i + 4, _mm256_and_pd(_mm256_mul_pd(highvalues(b0), scale), keepz));
            _mm256_store_pd(w.u + i, _mm256_fmadd_pd(lowvalues(b1), unit, half));
            _mm256_store_pd(w.u + i + 4, _mm256_fmadd_pd(highvalues(b1), unit, half));
        }
        // the radial factor
        for (int i = 0; i < stretch; i += 4) {
            __m256d r;
            __m256d radial = radial4(k, _mm256_load_pd(w.x + i), _mm256_load_pd(w.y + i),
                                     _mm256_load_pd(w.z + i), r);
            if (k.l == 0) radial = _mm256_mul_pd(bc(k.ac[0]), radial);  // psi itself
            _mm256_store_pd(w.r + i, r);
            _mm256_store_pd(w.psi + i, radial);
        }
        // times the angular factors
        if (k.l > 0)
            for (int i = 0; i < stretch; i += 4)
                _mm256_store_pd(w.psi + i, angular4(k, _mm256_load_pd(w.x + i), _mm256_load_pd(w.y + i),
                                                    _mm256_load_pd(w.z + i), _mm256_load_pd(w.r + i),
                                                    _mm256_load_pd(w.psi + i)));
        // the acceptance test, accepted trials kept in order
        for (int i = 0; i < stretch; i += 4) {
            const __m256d psi = _mm256_load_pd(w.psi + i);
            const __m256d psi2 = _mm256_mul_pd(psi, psi);
            const int acc =
                _mm256_movemask_pd(_mm256_cmp_pd(psi2, _mm256_mul_pd(_mm256_load_pd(w.u + i), ceiling), _CMP_GT_OQ));
            if (looknz) {
                const int nz = _mm256_movemask_pd(_mm256_cmp_pd(psi2, zero, _CMP_NEQ_UQ));
                if (nz) {
                    firstnz = base + i + __builtin_ctz(nz);
                    looknz = false;
                }
            }
            for (int bits = acc; bits; bits &= bits - 1) {
                const int j = i + __builtin_ctz(bits);
                b.index[nacc] = static_cast<std::uint16_t>(base + j);
                b.x[nacc] = w.x[j];
                b.y[nacc] = w.y[j];
                b.z[nacc] = w.z[j];
                b.psi[nacc] = w.psi[j];
                b.r[nacc] = w.r[j];
                ++nacc;
            }
        }
    }
    for (int h = 0; h < 2; ++h) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[0][4 * h]), s0[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[1][4 * h]), s1[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[2][4 * h]), s2[h]);
        _mm256_store_si256(reinterpret_cast<__m256i*>(&lanes.s[3][4 * h]), s3[h]);
    }
    b.naccepted = nacc;
    b.firstnonzero = firstnz;
}

}  // namespace
#endif

void BatchOrbital::evaluate(const double* x, const double* y, const double* z, int count, double* psi,
                            double* r) const {
#ifdef VANTREL_AVX2
    if (fast_) {
        evaluateavx2(constsof(rhoscale_, l_, a_, m_, oddplane_, radialcoef_, angularcoef_), x, y, z, count,
                     psi, r);
        return;
    }
#endif
    for (int i = 0; i < count; ++i) {
        double r2 = 0, radial = 0;
        psi[i] = orbital_->evaluate(x[i], y[i], z[i], r[i], r2, radial);
    }
}

SampleKernel::SampleKernel(const Orbital& o, double extent, const int mult[3], bool restricted)
    : psi_(o), scale_(2 * extent), restricted_(restricted), mult_{mult[0], mult[1], mult[2]} {}

void SampleKernel::run(double maxpsi2, bool wantnonzero, SampleBlock& b) {
#ifdef VANTREL_AVX2
    if (psi_.fast_) {
        const RunArgs args{scale_,
                           {double(mult_[0]), double(mult_[1]), double(mult_[2])},
                           restricted_,
                           maxpsi2,
                           wantnonzero};
        runavx2(constsof(psi_.rhoscale_, psi_.l_, psi_.a_, psi_.m_, psi_.oddplane_, psi_.radialcoef_,
                         psi_.angularcoef_),
                args, lanes_, b);
        return;
    }
#endif
    // Portable path: the same random stream, psi from the wave function itself.
    int nacc = 0;
    b.firstnonzero = sampleblocksize;
    bool looknz = wantnonzero;
    const double scale = scale_ * 0x1.0p-32;
    for (int i = 0; i < sampleblocksize; i += 8) {
        std::uint64_t w[16];
        lanes_.next8(w);
        lanes_.next8(w + 8);
        std::int32_t v[32];  // x of the eight trials, then y, z and u
        std::memcpy(v, w, sizeof v);
        for (int j = 0; j < 8; ++j) {
            double coord[3];
            for (int c = 0; c < 3; ++c)
                coord[c] = restricted_ && mult_[c] == 0 ? 0.0 : v[8 * c + j] * scale;
            const double u = v[24 + j] * 0x1.0p-32 + 0.5;
            double r = 0, r2 = 0, radial = 0;
            const double psi = psi_.orbital_->evaluate(coord[0], coord[1], coord[2], r, r2, radial);
            const double psi2 = psi * psi;
            if (looknz && psi2 != 0) {
                b.firstnonzero = i + j;
                looknz = false;
            }
            if (psi2 > u * maxpsi2) {
                b.index[nacc] = static_cast<std::uint16_t>(i + j);
                b.x[nacc] = coord[0];
                b.y[nacc] = coord[1];
                b.z[nacc] = coord[2];
                b.psi[nacc] = psi;
                b.r[nacc] = r;
                ++nacc;
            }
        }
    }
    b.naccepted = nacc;
}

}  // namespace vantrel
