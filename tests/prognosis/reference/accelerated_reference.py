# Reference figures for the transcripts of the accelerated prognoses (AD and
# TBM with their gradient-factor schedules), computed apart from the C++ code.
#
# Double steps are Python floats in the model's order; binary128 steps are
# 50-digit decimals rounded to the nearest double where the model rounds;
# exp and ln are taken in decimal and rounded to double. The D segments come
# from the reference of the profile commands.
# Run: python3 accelerated_reference.py
import os
import sys
from decimal import Decimal as D

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', '..', 'model', 'reference'))
from dive_reference import State, AHE, AN2, BHE, BN2, F, dd, rd, dexp, d_lines  # noqa: E402


def dln(x):
    return rd(dd(x).ln())


def gas(s, FO2, FHE):
    s.FO2, s.FHE = FO2, FHE
    s.FN2 = rd((D(1) - dd(FO2)) - dd(FHE))


def RG(s):
    return (s.RHO * s.GRAV) / 100000


def inspired(s, Pamb, f):
    C = D('0.053') * ((D(1) - dd(s.RQ)) / dd(s.RQ))
    palv = (dd(Pamb) - D('0.063')) + C
    return rd(palv * dd(f))


def mixture(s, i):
    pn, ph = s.PN2[i], s.PHE[i]
    a = (AHE[i] * ph + AN2[i] * pn) / (ph + pn)
    b = (BHE[i] * ph + BN2[i] * pn) / (ph + pn)
    k = (s.KHE[i] * ph + s.KN2[i] * pn) / (ph + pn)
    return a, b, k


def first_stop(C, G):
    return G * int(dd(C) / D(G)) + G


def limit_time(P, Pi, M, k):
    if P > Pi and M > Pi:
        return -((1.0 / k) * dln((M - Pi) / (P - Pi)))
    return 0.0


def I(n, w):
    """An Iw field."""
    x = str(n)
    return x.rjust(w) if len(x) <= w else '*' * w


def tts_ascent(s):
    return float(int(s.DEPTH / s.ASCRATE))


# ---- AD and TBM: the two passes ----

def ad_gas(s, st):
    if st >= 24:
        return s.FN2, s.FHE, ''
    if st >= 18:
        return 0.5, 0.0, ' (EAN 50)'
    if st >= 9:
        return 0.5, 0.0, ' (EAN 75)'
    return 0.02, 0.0, ' (100 O2)'


def tbm_gas(s, st):
    if st >= 15:
        return s.FN2, s.FHE, ''
    return 0.3, 0.0, ' (100 O2)'


def two_pass(s, G, gas_of, mw, md, tw, td, AAF=None, NN2=None, NHE=None):
    L = ['  Accelerated Deko Prognose:']
    for pas in (1, 2):
        if pas == 2:
            L.append('  AD Deko Prognose, mit Sauerstoff-Korrekturfaktoren:')
        PN2W, PHEW, PSUMW, KMIX, KN2W, KHEW = [], [], [], [], [], []
        s.AMIX, s.BMIX = [], []
        for i in range(16):
            a, b, k = mixture(s, i)
            KHEW.append(s.KHE[i])
            KN2W.append(s.KN2[i])
            KMIX.append(k)
            PN2W.append(s.PN2[i])
            PHEW.append(s.PHE[i])
            s.AMIX.append(a)
            s.BMIX.append(b)
            if NN2 is None:
                PSUMW.append(s.PHE[i] + s.PN2[i])
            else:
                PSUMW.append(s.PN2[i] * NN2 + s.PHE[i] * NHE)
        if pas == 2:
            c = D('1.35')
            for i in range(16):
                KMIX[i] = rd(dd(KMIX[i]) / c)
                KN2W[i] = rd(dd(s.KN2[i]) / c)
                KHEW[i] = rd(dd(s.KHE[i]) / c)
        Fc = 100000 / (s.RHO * s.GRAV)
        C = 0.0
        for i in range(16):
            ce = ((PSUMW[i] - s.AMIX[i]) * s.BMIX[i] - s.PAIR) * Fc
            if ce > C:
                C = ce
        S1 = first_stop(C, G)
        SUM = SUMAB = 0.0
        st = S1
        while st >= G:
            fN2, fHe, label = gas_of(s, st)
            rg = RG(s)
            Pamb = st * rg + s.PAIR
            PiN2 = inspired(s, Pamb, fN2)
            PiHe = inspired(s, Pamb, fHe)
            s.PIHE = PiHe
            Pi = PiHe + PiN2
            Pnext = rg * (st - 3) + s.PAIR
            T = 0.0
            for i in range(16):
                M = Pnext / s.BMIX[i] + s.AMIX[i]
                t = limit_time(PSUMW[i], Pi, M, KMIX[i])
                if AAF is not None and PSUMW[i] > Pi and M > Pi:
                    t = t * AAF
                if t > T:
                    T = t
            Tr = float(int(T) + 1)
            if s.LATENCY == 'Y':
                Tr += 5.0
            SUM += Tr
            SUMAB += Tr
            if pas == 1:
                L.append(' ' + I(st, 2) + 'm Stopp Prognose Dekozeit%s:%s' % (label, F(Tr, mw, md)))
            else:
                L.append(' ' + I(st, 2) + 'm Stopp Prognose Dekozeit ( OC ):%s' % F(Tr, mw, md))
                if Tr >= 15.0:
                    AB = 5 * int(Tr / 15.0) + 1
                    SUMAB += AB
                    L.append(' ' + I(st, 2) + 'm Stopp Prognose Dekozeit (OC): %s  + AIRBREAK!: %s' % (F(Tr, mw, md), I(AB, 3)))
            for i in range(16):
                PN2W[i] = (PN2W[i] - PiN2) * dexp(-(KN2W[i] * T)) + PiN2
                PHEW[i] = (PHEW[i] - s.PIHE) * dexp(-(KHEW[i] * T)) + s.PIHE
                PSUMW[i] = PN2W[i] + PHEW[i]
            st -= G
        D_ = tts_ascent(s)
        L.append(' TTS = %s' % F(SUM + D_, tw, td))
        if SUMAB + D_ > SUM + D_:
            L.append(' TTS + AIRBREAKs = %s' % F(SUMAB + D_, tw, td))
    return L


def ad(s):
    return two_pass(s, 3, ad_gas, 8, 1, 8, 1)


def tbm(s, AAF, NN2, NHE):
    return two_pass(s, 5, tbm_gas, 6, 2, 7, 2, AAF, NN2, NHE)


# ---- the gradient-factor schedules after AD and TBM ----

def gf_schedule(s, G, gas_of, mw, md, tw, td, weighted, o2_minutes):
    L = ['  Accelerated Deco Prognose mit  Gradientenfaktoren:  GFHI= %s GFLO= %s'
         % (F(s.GFHI, 6, 2), F(s.GFLO, 6, 2))]
    PN2W, PHEW, PSUMW, KMIX = [], [], [], []
    Fc = 100000 / (s.RHO * s.GRAV)
    C = 0.0
    for i in range(16):
        PHEW.append(s.PHE[i])
        PN2W.append(s.PN2[i])
        PSUMW.append(s.PHE[i] + s.PN2[i])
        KMIX.append((s.KHE[i] * s.PHE[i] + s.KN2[i] * s.PN2[i]) / (s.PHE[i] + s.PN2[i]))
        P = rd(D('1.5') * dd(s.PN2[i]) + D('2.0') * dd(s.PHE[i])) if weighted else PSUMW[i]
        bLo = s.BMIX[i] / ((s.GFLO - s.GFLO * s.BMIX[i]) + s.BMIX[i])
        ce = ((P - s.AMIX[i] * s.GFLO) * bLo - s.PAIR) * Fc
        if ce > C:
            C = ce
    S1 = first_stop(C, G)
    s.DEEPSTOP = float(S1)
    rg = RG(s)
    t = (s.DEPTH - S1) / s.ASCRATE
    Pamb0 = s.DEPTH * rg + s.PAIR
    Pi0N2 = inspired(s, Pamb0, s.FN2)
    Pi0He = inspired(s, Pamb0, s.FHE)
    RN2 = -(s.FN2 * (s.ASCRATE * rg))
    RHe = -((s.ASCRATE * rg) * s.FHE)
    for i in range(16):
        for arr, k, Pi0, R in ((PN2W, s.KN2[i], Pi0N2, RN2), (PHEW, s.KHE[i], Pi0He, RHe)):
            e = dexp(-(t * k))
            arr[i] = ((t - (1 / k) * (1 - e)) * R + Pi0) + e * (arr[i] - Pi0)
    SUM = 0.0
    lead = 0
    st = S1
    while st >= G:
        fN2, fHe, label = gas_of(s, st)
        Pamb = st * rg + s.PAIR
        PiN2 = inspired(s, Pamb, fN2)
        PiHe = inspired(s, Pamb, fHe)
        s.PIHE = PiHe
        Pi = PiHe + PiN2
        s.GFCUR = s.GFHI - ((s.GFHI - s.GFLO) / s.DEEPSTOP) * st
        last = dd(st - s.LASTSTOP) <= 0
        Pnext = s.PAIR if last else (st - 3) * rg + s.PAIR
        T = 0.0
        g = s.GFCUR
        for i in range(16):
            bG = s.BMIX[i] / ((g - g * s.BMIX[i]) + s.BMIX[i])
            M = Pnext / bG + s.AMIX[i] * g
            ti = limit_time(PSUMW[i], Pi, M, KMIX[i])
            if ti >= T:
                T = ti
            if ti >= T:
                lead = i + 1
        if o2_minutes:
            Tr = float(int(D('1.5') * dd(T)) + 1)
        else:
            Tr = float(int(T) + 1)
        SUM += Tr
        L.append(' ' + I(st, 2) + 'm Stopp Prognose Dekozeit%s:%s  GF = %s  Komp.#: %s'
                 % (label, F(Tr, mw, md), F(s.GFCUR, 6, 2), I(lead, 2)))
        for i in range(16):
            PN2W[i] = (PN2W[i] - PiN2) * dexp(-(s.KN2[i] * T)) + PiN2
            PHEW[i] = (PHEW[i] - s.PIHE) * dexp(-(s.KHE[i] * T)) + s.PIHE
            PSUMW[i] = PN2W[i] + PHEW[i]
        if last:
            break
        st -= G
    L.append(' TTS = %s' % F(SUM + tts_ascent(s), tw, td))
    return L


def gf_ad(s):
    return gf_schedule(s, 3, ad_gas, 8, 1, 8, 1, False, False)


def gf_tbm(s):
    return gf_schedule(s, 5, tbm_gas, 5, 2, 7, 2, True, True)


def fresh(**kw):
    s = State()
    s.LATENCY = 'N'
    s.ASCRATE = 9.0
    s.LASTSTOP = 3.0
    s.GFHI = s.GFLO = 1.0
    s.DEEPSTOP = 3.0
    for k, v in kw.items():
        setattr(s, k, v)
    return s


SESSIONS = os.path.join(os.path.dirname(__file__), '..', '..', 'sessions')


def check(name, expected):
    """Every expected line, in order, ends a line of the transcript NAME.out
    (a line may begin with the prompts typed before it)."""
    got = open(os.path.join(SESSIONS, name + '.out')).read().split('\n')
    k = 0
    for line in expected:
        while k < len(got) and not got[k].endswith(line):
            k += 1
        if k == len(got):
            print('!!', name, 'misses:', repr(line))
            return False
        k += 1
    print('ok', name, len(expected), 'lines')
    return True


def dive(s, depth, time):
    return d_lines(s, s.d(depth, time))


if __name__ == '__main__':
    s = fresh()
    L = dive(s, 45.0, 30.0) + ad(s)
    s.LATENCY = 'Y'
    L += [' LATENCY = ON'] + ad(s)
    check('air-45m-30min-accelerated-with-latency', L)

    s = fresh()
    gas(s, 0.18, 0.45)
    L = dive(s, 70.0, 30.0) + ad(s) + ad(s)
    check('trimix-70m-30min-accelerated', L)

    s = fresh()
    L = dive(s, 50.0, 40.0) + tbm(s, 2.0, 2.5, 1.7)
    s.LATENCY = 'Y'
    L += [' LATENCY = ON'] + tbm(s, 1.1, 3.0, 1.5)
    check('air-50m-40min-corrected-accelerated-answers', L)

    s = fresh()
    L = dive(s, 3.5, 20.0) + tbm(s, 1.5, 1.5, 1.5)
    check('shallow-3.5m-corrected-accelerated-only', L)

    s = fresh(GFHI=0.85, GFLO=0.30)
    gas(s, 0.18, 0.45)
    L = dive(s, 70.0, 30.0) + ad(s) + gf_ad(s) + tbm(s, 1.5, 1.6, 1.7) + gf_tbm(s)
    check('trimix-70m-30min-accelerated-gradient-factors', L)

    s = fresh(GFHI=0.85, GFLO=0.30, LASTSTOP=7.5, LATENCY='Y')
    L = [' LATENCY = ON'] + dive(s, 45.0, 30.0) + ad(s) + gf_ad(s) + tbm(s, 2.0, 1.5, 1.5) + gf_tbm(s)
    check('air-45m-30min-gradient-factors-last-stop-latency', L)

    s = fresh(GFHI=0.85, GFLO=0.30)
    L = dive(s, 3.5, 20.0) + tbm(s, 1.5, 1.5, 1.5) + gf_tbm(s)
    check('shallow-3.5m-corrected-accelerated-gradient-factors', L)
