-- String formatting: 1,000,000 numbers formatted in decimal and hexadecimal;
-- the sum of the lengths.
local total = 0
for i = 0, 999999 do total = total + #string.format("%d:%X;", i, i * 7) end
print(total)
