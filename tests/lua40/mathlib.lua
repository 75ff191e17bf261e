-- Trigonometry in degrees; the rest as C's library.
print(sin(90), cos(180), tan(45), asin(1), acos(-1), atan(1), atan2(1, -1))
print(deg(PI), rad(180), PI)
print(floor(-3.5), ceil(3.2), log10(1000))
print(mod(7, 3), mod(-7, 3), mod(7, -3), mod(5.5, 2))
print(min(3, 1, 2), max(3, 1, 2), frexp(8), ldexp(0.5, 4))
print(2^10, 2^0.5 * 2^0.5 == 2, -2^2)
-- back to degrees divided by pi/180, as 4.0 does
print(deg(9), asin(0.035), atan(0.22))
exit(0)
