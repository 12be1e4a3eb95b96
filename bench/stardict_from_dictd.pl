#!/usr/bin/perl
# Writes the StarDict form (.ifo, .idx, .dict) of a dictd dictionary, so that sdcv can look up
# the very entries that termdex-cli imports from the same files.
#
# usage: bench/stardict_from_dictd.pl INDEX DICT OUT_DIR NAME
#   INDEX    the dictd .index (headword TAB base64 offset TAB base64 length)
#   DICT     its .dict or .dict.dz (dictzip is gzip: read with gzip -dc)
#   OUT_DIR  where NAME.ifo, NAME.idx and NAME.dict are written
# The .dict is the dictd data unchanged, so every offset and length carries over; the .idx is
# sorted as StarDict looks words up (ASCII case folded, then byte order) with 32-bit offsets.
use strict;
use warnings;

@ARGV == 4 or die "usage: $0 INDEX DICT OUT_DIR NAME\n";
my ($index, $dict, $out, $name) = @ARGV;

my %digit;
my @alphabet = ('A' .. 'Z', 'a' .. 'z', '0' .. '9', '+', '/');
@digit{@alphabet} = (0 .. 63);
sub number {
    my $n = 0;
    for my $c (split //, $_[0]) {
        die "bad base64 digit '$c'\n" unless exists $digit{$c};
        $n = $n * 64 + $digit{$c};
    }
    return $n;
}

open(my $in, '<:raw', $index) or die "$index: $!\n";
my @entries;
while (my $line = <$in>) {
    $line =~ s/\r?\n\z//;
    my ($word, $offset, $length) = split /\t/, $line;
    next unless defined $length && length $word;
    next if $word =~ /^00-?database/;    # the dictionary's own information
    push @entries, [$word, number($offset), number($length)];
}
close $in;

my $data;
if ($dict =~ /\.dz\z/) {
    open(my $gz, '-|:raw', 'gzip', '-dc', '--', $dict) or die "gzip: $!\n";
    local $/;
    $data = <$gz>;
    close $gz or die "$dict: gzip failed\n";
} else {
    open(my $raw, '<:raw', $dict) or die "$dict: $!\n";
    local $/;
    $data = <$raw>;
    close $raw;
}
for my $e (@entries) {
    die "$e->[0]: outside $dict\n" if $e->[1] + $e->[2] > length $data;
}

sub folded { (my $w = $_[0]) =~ tr/A-Z/a-z/; return $w }
@entries = sort { folded($a->[0]) cmp folded($b->[0]) || $a->[0] cmp $b->[0] } @entries;

my $idx = '';
$idx .= $_->[0] . "\0" . pack('NN', $_->[1], $_->[2]) for @entries;
for (['idx', $idx], ['dict', $data]) {
    open(my $f, '>:raw', "$out/$name.$_->[0]") or die "$out/$name.$_->[0]: $!\n";
    print $f $_->[1];
    close $f or die "$out/$name.$_->[0]: $!\n";
}
open(my $ifo, '>:raw', "$out/$name.ifo") or die "$out/$name.ifo: $!\n";
printf $ifo "StarDict's dict ifo file\nversion=2.4.2\nwordcount=%d\nidxfilesize=%d\n"
    . "bookname=%s\nsametypesequence=m\n", scalar @entries, length $idx, $name;
close $ifo or die "$out/$name.ifo: $!\n";
