/* 配列の要素を for ループで順に調べ、合計と平均を求める */
#include <stdio.h>

#define N 5 /* 要素の数 */

int main(void)
{
    int score[N] = {72, 85, 90, 64, 78};
    int sum = 0;
    int i;

    for (i = 0; i < N; i++) { /* 添字は 0 から N - 1 まで */
        printf("score[%d] = %d\n", i, score[i]);
        sum += score[i];
    }
    printf("合計: %d\n", sum);
    printf("平均: %.1f\n", (double)sum / N); /* double にしてから割る */
    return 0;
}
