-- The number of primes below 1,000,000 by trial division.
local count = 0
for n = 2, 999999 do
  local prime = 1
  local d = 2
  while d * d <= n do
    if n % d == 0 then prime = 0; break end
    d = d + 1
  end
  count = count + prime
end
print(count)
