#!/usr/bin/perl
use strict;
use warnings;
my $name = '{{$name}}';
our @list = ('{{@list}}');
print "Content-Type: text/html\n\n";
print "<p>Hello $name</p>\n", 'single \'q\' \\ \n', "\x41\101\x{e9}|\t|\e|\$|\@|\"\n";
print STDOUT qq{<b>"bold" {nested}</b>\n};
print q|pipe 'q'|, "\n";
print "wide: \x{263A} and \xe9\n";
print "\Uupper\E \LLOWER\E \uword \Qa.b\E\n";
print <<"EOT", <<'RAW';
heredoc $name
EOT
raw $name\n
RAW
print <<~EOT;
    indented
      more
    EOT
=pod

print "in pod\n";

=cut
print "after pod\n" if 1;
print("paren", "list\n");
print "list: @list\n";
__END__
print "not run\n";
