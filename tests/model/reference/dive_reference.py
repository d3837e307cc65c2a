# Reference figures for the tests of the segment D, the oxygen exposure step
# and the protocol record, computed apart from the C++ code.
#
# Double steps are Python floats (IEEE double) in the model's order; binary128
# steps are 50-digit decimals, rounded to the nearest double where the model
# rounds; exp, ln, powers and square roots are taken in decimal and rounded to
# double. Run: python3 dive_reference.py
from decimal import Decimal as D, getcontext
import math

getcontext().prec = 50


def dd(x):
    return D(x)  # a double widened exactly


def rd(x):
    return float(x)  # a decimal rounded to the nearest double


LN2 = D(2).ln()


def dexp(x):
    return rd(dd(x).exp())


TAUN2 = [4.0, 8.0, 12.5, 18.5, 27.0, 38.3, 54.3, 77.0, 109.0, 146.0, 187.0, 239.0, 305.0, 390.0, 498.0, 635.0]
AN2 = [1.2599, 1.0, 0.8618, 0.7562, 0.62, 0.5043, 0.441, 0.4, 0.375, 0.35, 0.3295, 0.3065, 0.2835, 0.261, 0.248, 0.2327]
BN2 = [0.505, 0.6514, 0.7222, 0.7825, 0.8126, 0.8434, 0.8693, 0.891, 0.9092, 0.9222, 0.9319, 0.9403, 0.9477, 0.9544, 0.9602, 0.9653]
TAUHE = [1.51, 3.02, 4.72, 6.99, 10.21, 14.48, 20.53, 29.11, 41.2, 55.19, 70.69, 90.34, 115.29, 147.42, 188.24, 240.03]
AHE = [1.7424, 1.383, 1.1919, 1.0458, 0.922, 0.8205, 0.7305, 0.6502, 0.595, 0.5545, 0.5333, 0.5189, 0.5181, 0.5176, 0.5172, 0.5119]
BHE = [0.4245, 0.5747, 0.6527, 0.7223, 0.7852, 0.7957, 0.8279, 0.8553, 0.8757, 0.8903, 0.8997, 0.9073, 0.9122, 0.9171, 0.9217, 0.9267]
CNS_ROWS = [('0.70', 570), ('0.80', 450), ('0.90', 360), ('1.00', 300), ('1.10', 240), ('1.20', 210),
            ('1.25', 195), ('1.30', 180), ('1.35', 165), ('1.40', 150), ('1.45', 135), ('1.50', 120),
            ('1.55', 83), ('1.60', 45), ('1.70', 40), ('1.80', 35), ('1.90', 30), ('2.00', 25),
            ('2.10', 20), ('2.20', 15), ('2.30', 13.5), ('2.40', 12), ('2.50', 10)]


def B(a):
    return D(a) * dd(1.01325)


def cns_limit(pO2):
    for a, tl in CNS_ROWS:
        if dd(pO2) <= B(a):
            return tl
    return 5.0


def rhalf(x):
    return math.floor(abs(x) + 0.5) * (1 if x >= 0 else -1)


class State:
    def __init__(s):
        s.RHO, s.GRAV, s.PAIR = 998.403, 9.80665, 1.013
        s.FN2, s.FO2, s.FHE = 0.7902, 0.2095, 0.000005
        s.AMV, s.RQ = 25.0, 1.0
        s.DEPTH = s.TIME = s.DIVETIME = s.MAXDEPTH = s.TSTART = 0.0
        s.OTU = s.CNS = 0.0
        s.O2HWZ = 90.0
        s.SQKCNS = s.KCNS = s.SQKPOT = s.KPOT = s.ESOT = s.PRT = 0.0
        s.PO2MAX = (0 * 0.0979098877995 + 1.013) * 0.2095
        s.PN2 = [0.8004726] * 16
        s.PHE = [0.000005065] * 16
        s.KN2 = [rd(LN2 / dd(t)) for t in TAUN2]
        s.KHE = [rd(LN2 / dd(t)) for t in TAUHE]
        s.BZFLAG = 'N'
        s.records = []

    def oxygen_step(s, letter):
        T = s.TIME
        lam = rd(LN2 / dd(s.O2HWZ))
        RG = (s.RHO * s.GRAV) / 100000
        Pamb = s.DEPTH * RG + s.PAIR
        GAS = 0.0
        if letter == 'A':
            s.TSTART = s.DIVETIME - T
            GAS = (((s.MAXDEPTH - s.DEPTH) * RG + s.PAIR) * s.AMV) * T
        elif s.DEPTH > 0:
            GAS = (s.AMV * Pamb) * T
        pO2 = Pamb * s.FO2
        S_OTU = s.OTU
        if pO2 >= 0.5:
            u = rd(((dd(pO2) - D('0.5')) / D('0.5')) ** D('0.83')) if pO2 > 0.5 else 0.0
            S_OTU = s.OTU + u * T
        s.OTU = rhalf(S_OTU)
        base = s.CNS
        S_CNS = s.CNS
        if dd(pO2) >= B('0.55'):
            c = rd(D(100) * dd(T) / dd(cns_limit(pO2)))
            S_CNS = s.CNS + c
            s.CNS = rhalf(S_CNS)
            base = s.CNS
        x = pO2 / 1.01325
        sqk1 = rd(dd(T) * dd(x) ** D('3.4')) + s.SQKCNS
        kc1 = rd(dd(sqk1) * dd(sqk1))
        th = dd(T) / D(60)
        pp = dd(x) ** D('2.285')
        sqp1 = rd(th * pp) + s.SQKPOT
        kp1 = rd(dd(sqp1) * dd(sqp1))
        es1 = rd(pp * dd(T)) + s.ESOT
        if pO2 > s.PO2MAX:
            s.PO2MAX = pO2
        if s.DEPTH == 0 and letter in 'DdEe':
            s.CNS = dexp(-(lam * T)) * base
            S_CNS = s.CNS
            s.KCNS = dexp(-(0.079 * T)) * kc1
            s.SQKCNS = rd(dd(s.KCNS).sqrt())
            s.KPOT = rd(dd(kp1) * ((-th).exp() * dd(0.079)))
            s.SQKPOT = rd(dd(s.KPOT).sqrt())
            m = s.PO2MAX / 1.01325
            s.ESOT = rd(dd(es1) * ((D('0.21') - D('0.192') * dd(m)) * th).exp())
        else:
            s.SQKCNS, s.KCNS, s.SQKPOT, s.KPOT, s.ESOT = sqk1, kc1, sqp1, kp1, es1
        s.PRT = rd(dd(T).sqrt()) * Pamb + s.PRT
        s.records.append((letter, s.DEPTH, s.TIME, s.DIVETIME, s.FN2, s.FO2, s.FHE, s.CNS, s.OTU, s.KCNS, s.KPOT, GAS))
        s.OTU = S_OTU
        s.CNS = S_CNS

    def d(s, depth, time):
        s.DEPTH = depth
        if s.MAXDEPTH == 0:
            s.DIVETIME = 0.0
            s.MAXDEPTH = depth
        elif depth > s.MAXDEPTH:
            s.MAXDEPTH = depth
        s.TIME = time
        s.DIVETIME = s.DIVETIME + time
        s.oxygen_step('D')
        RG = (s.RHO * s.GRAV) / 100000
        Pamb = s.DEPTH * RG + s.PAIR
        C = D('0.053') * ((D(1) - dd(s.RQ)) / dd(s.RQ))
        palv = (dd(Pamb) - D('0.063')) + C
        PiN2 = rd(palv * dd(s.FN2))
        PiHe = rd(palv * dd(s.FHE))
        out = {'Pamb': Pamb, 'PiN2': PiN2, 'PiHe': PiHe, 'rows': []}
        if s.BZFLAG == 'Y':
            Pb = rd(((dd(s.DEPTH) * D('1.03')) + D('1.0')) * dd(RG) + dd(s.PAIR))
            palv = C + (dd(Pb) - D('0.063'))
            PiN2 = rd(dd(s.FN2) * palv)
            PiHe = rd(dd(s.FHE) * palv)
        for i in range(16):
            s.PN2[i] = (s.PN2[i] - PiN2) * dexp(-(s.KN2[i] * s.TIME)) + PiN2
            s.PHE[i] = (s.PHE[i] - PiHe) * dexp(-(s.KHE[i] * s.TIME)) + PiHe
            pn, ph = s.PN2[i], s.PHE[i]
            S = pn + ph
            a = (AHE[i] * ph + AN2[i] * pn) / (pn + ph)
            b = (BHE[i] * ph + BN2[i] * pn) / (pn + ph)
            pt = (S - a) * b
            ce = (pt - s.PAIR) * (100000 / (s.RHO * s.GRAV))
            if ce < 0:
                ce = 0.0
            if pt < 0:
                pt = 0.0
            out['rows'].append((i + 1, pn, ph, S, ce, pt))
        return out


def F(x, w, d):
    """An Fw.d field: '%.*f' rounds the exact binary value, ties to even."""
    s = '%.*f' % (d, x)
    if s.startswith('0.') and len(s) > w:
        s = s[1:]
    if d == 0:
        s = s + '.'
    return s.rjust(w) if len(s) <= w else '*' * w


def d_lines(s, o):
    L = [" P amb: %s P insp N2: %s P insp He: %s" % (F(o['Pamb'], 6, 3), F(o['PiN2'], 6, 3), F(o['PiHe'], 6, 3)),
         "  maximale Tiefe= %s m   gesamte Tauchzeit= %s " % (F(s.MAXDEPTH, 5, 1), F(s.DIVETIME, 8, 1)),
         "  aktuelle Tiefe: %s m   aktuelle Zeit:     %s" % (F(s.DEPTH, 5, 1), F(s.TIME, 8, 1)),
         "  - - - - - - - - - - - - - - - - - - - - - - - -"]
    for (i, pn, ph, S, ce, pt) in o['rows']:
        L.append("  Nr.: %2d%s P N2%s P HE Sum.= %s Ceil. m= %s Putol: %s"
                 % (i, F(pn, 5, 2), F(ph, 5, 2), F(S, 5, 2), F(ce, 5, 1), F(pt, 5, 2)))
    return L


def record_lines(s):
    return [" %s %s %s %s  %s %s %s %s %s %s %s %s"
            % (r[0], F(r[1], 6, 1), F(r[2], 8, 1), F(r[3], 8, 1), F(r[4], 4, 2), F(r[5], 4, 2), F(r[6], 4, 2),
               F(r[7], 5, 0), F(r[8], 6, 0), F(r[9], 8, 0), F(r[10], 7, 0), F(r[11], 9, 1)) for r in s.records]


def session(segments, setup=None):
    """The D lines and the protocol records of a session of D segments."""
    s = State()
    if setup:
        setup(s)
    s.oxygen_step('X')
    lines = []
    for depth, time in segments:
        lines += d_lines(s, s.d(depth, time))
    s.DEPTH = s.TIME = s.DIVETIME = 0.0
    s.oxygen_step('X')
    return lines, record_lines(s)


if __name__ == '__main__':
    for name, segs in [('air-30m-25min', [(30.0, 25.0)]),
                       ('air-dive-shallow-stop-surface-interval', [(30.0, 20.0), (3.0, 5.0), (0.0, 90.0)])]:
        lines, records = session(segs)
        print('==', name)
        print('\n'.join(lines))
        print('\n'.join(records))
