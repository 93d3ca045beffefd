;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	level 33381d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:

	push af
	ld a,(level)
	or 0C0h
	call _lcd_busy
	out (LCDINSTPORT),a
	pop af

	push af
	ld a,(Level)
	or 0C0h
	call _lcd_busy
	out (LCDINSTPORT),a
	pop af

	call _runindicoff

	call _runindicOff

	call _runindic

	call _runindicon)

	call off

	call off

	ret


description:
	.db "demo",0

OFF:
	DI
	LD A,001H
	OUT (003H),A
	LD A,000H
	OUT (004H),A
	EX AF,AF'
	EXX
	EI
	RET 

.end
END
