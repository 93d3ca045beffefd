;program hi;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	x 33381d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	call off

	ret


description:
	.db "hi",0

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
