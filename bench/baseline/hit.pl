# The counting redirect written in Perl, as a site might have it: the same hit
# line appended with one write on a file opened for appending, then the
# Location header. The data root is the first argument.
my $root = $ARGV[0];
my $query = $ENV{QUERY_STRING};
if (!defined $query || $query eq '' || length($query) > 1000 || $query =~ /[\r\n]/) {
  syswrite STDOUT, "Location: http://localhost/\n\n";
  exit 0;
}
my $plus = index($query, '+');
if ($plus < 0) {
  syswrite STDOUT, "Location: $query\n\n";
  exit 0;
}
my $name = substr($query, $plus + 1, 50);
if (open(my $log, '>>', "${root}counters/$name.log")) {
  my @t = localtime;
  my $line = sprintf("Date: %02d.%02d.%04d Time: %02d:%02d:%02d A:%-15s H:%-15s IP:%-15s FROM:%s\n",
                     $t[3], $t[4] + 1, $t[5] + 1900, $t[2], $t[1], $t[0],
                     map { $ENV{$_} // '(null)' } qw(REMOTE_ADDR REMOTE_HOST HTTP_X_FORWARDED_FOR HTTP_REFERER));
  syswrite $log, $line;
  close $log;
}
syswrite STDOUT, 'Location: ' . substr($query, 0, $plus) . "\n\n";
