-- Recursive Fibonacci: the sum of fib(20), 1,000 times.
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end
local total = 0
for i = 0, 999 do total = total + fib(20) end
print(total & 0xFFFFFFFF)
