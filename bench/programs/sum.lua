-- The sum of 0 .. 99,999,999 modulo 2^32.
local total = 0
for i = 0, 99999999 do total = total + i end
print(total & 0xFFFFFFFF)
