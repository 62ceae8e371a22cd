# The baseline of the report benchmark: per counter (the log's file name less
# .log), the total of hit lines and the hits per day, as gawk does it. Prints
# "COUNTER total N" and "COUNTER DD.MM.YYYY N" lines, sorted.
FNR == 1 {
  name = FILENAME
  sub(/.*\//, "", name)
  sub(/\.log$/, "", name)
}
/^Date: [0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9][0-9] Time: / {
  total[name]++
  per_day[name " " substr($0, 7, 10)]++
}
END {
  PROCINFO["sorted_in"] = "@ind_str_asc"
  for (name in total) print name " total " total[name]
  for (key in per_day) print key " " per_day[key]
}
