;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s2
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s3
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s4
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s5
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s6
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s7
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s8
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s9
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s10
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s11
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s12
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s13
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s14
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s15
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s16
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s17
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s18
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s19
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s20
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s21
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s22
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s23
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s24
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s25
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s26
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s27
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s28
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s29
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s30
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s31
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s32
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s33
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s34
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s35
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s36
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s37
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s38
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s39
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s40
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s41
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s42
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s43
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s44
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s45
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s46
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s47
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s48
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s49
	call _puts

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, s50
	call _puts

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s51
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s52
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s53
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s54
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s55
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s56
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s57
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s58
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s59
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s60
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s61
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s62
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s63
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s64
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s65
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s66
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s67
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s68
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s69
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s70
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s71
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s72
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s73
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s74
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s75
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s76
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s77
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s78
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s79
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s80
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s81
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s82
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s83
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s84
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s85
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s86
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s87
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s88
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s89
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s90
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s91
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s92
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s93
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s94
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s95
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s96
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s97
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s98
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s99
	call _vputs

	ld hl, 0001
	ld (pencol), hl
	ld hl, 0002
	ld (penrow), hl
	ld hl, s100
	call _vputs
