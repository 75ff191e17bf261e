-- Captures a match leaves open, and back-references to position captures.
local report = function(m) print("caught: " .. m) end
-- gsub refuses an open capture only where the replacement names it
print(gsub("ab", "(a)(b", "%1"), gsub("abab", "(a)(b", "<%1>", 1), gsub("ab", "(a(b)", "%2"))
print(call(gsub, {"ab", "(a)(b", "%2"}, "x", report))
print(call(gsub, {"ab", "(a(b)", "%1"}, "x", report))
print(gsub("ba", "(b)(a$", "[%1]"), gsub("ab$", "(a)(b%$", "[%1]"), gsub("aab", "(.)%1(", "%1"))
print(call(gsub, {"a", "(a$", "%1%1"}, "x", report))
print(call(gsub, {"aab", "((.)%1", "%2"}, "x", report))
print(call(gsub, {"ab(", "(%b(", "%1"}, "x", report))
print(call(gsub, {"ab(", "(%", "%1"}, "x", report))
print(call(strfind, {"ab", "(a)(b"}, "x", report))
-- a position capture holds an empty string, which a back-reference matches
print(strfind("  x  y", "()%1%1%w"), gsub("  x  y  ", "()%1%1%w", ""))
print(strfind("abc", "()(.-)(.-)%1"))
print(strfind("a*b", "a()%1*b"), strfind("ab", "a()%1-b"), strfind("a?", "a()%1?"))
print(strfind("abc", "[%1]"), strfind("a1c", "()[%1]"), gsub("(f)f", "()%b()%1f", "x"))
exit(0)
